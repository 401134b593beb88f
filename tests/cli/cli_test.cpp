// The command line as an author meets it: its options and their mistakes, what it prints where,
// its exit statuses and its language.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "app/row_edit.h"
#include "base/messages.h"
#include "base/system_text.h"
#include "cli/cli.h"
#include "cli/exit_status.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"

namespace rendlow::test {
namespace {

namespace fs = std::filesystem;

struct Ran {
  int status = 0;
  std::string out;
  std::string err;
};

void setLanguage(const char* lang) {
#ifdef _WIN32
  _putenv_s("LC_ALL", lang);
#else
  setenv("LC_ALL", lang, 1);
#endif
}

// The example song as song.mid in a folder of its own, where the command line runs.
class Cli : public ::testing::Test {
protected:
  void SetUp() override {
    fs::copy_file(std::string(RENDLOW_SOURCE_DIR) + "/examples/example_song.mid", dir.file("song.mid"));
  }

  Ran run(const std::vector<std::string>& args, const char* lang = "C") {
    setLanguage(lang);
    WorkingFolder here(dir.path());
    std::ostringstream out, err;
    const int status = cli::runCli(args, out, err);
    setLanguage("");
    return {status, out.str(), err.str()};
  }

  TempDir dir;
};

TEST_F(Cli, MistakesInTheCommandLineAreUsageErrorsSaidInOneLine) {
  const std::pair<std::vector<std::string>, const char*> cases[] = {
      {{}, "no input file given"},
      {{"--frobnicate", "song.mid"}, "unknown option \"--frobnicate\""},
      {{"-o"}, "option \"-o\" needs a value"},
      {{"--list=1", "song.mid"}, "option \"--list\" takes no value"},
      {{"--set=0:splitMethod=3", "song.mid"}, "splitMethod takes a whole number from 0 to 2"},
      {{"--set", "0:pitch=3", "song.mid"}, "unknown field \"pitch\""},
      {{"--set", "x:noteInterval=3", "song.mid"}, "the row is a whole number from 0"},
      {{"--list", "-q", "song.mid"}, "--list writes nothing"},
      {{"-o", "x.mid", "song.mid", "song.mid"}, "-o names the output of one input file, and 2 are given"},
  };
  for (const auto& [args, says] : cases) {
    SCOPED_TRACE(says);
    const Ran ran = run(args);
    EXPECT_EQ(ran.status, cli::kExitUsage);
    EXPECT_NE(ran.err.find(says), std::string::npos) << ran.err;
    EXPECT_NE(ran.err.find("Try 'rendlow-cli --help'"), std::string::npos);
    EXPECT_TRUE(ran.out.empty());
  }
}

TEST_F(Cli, HelpExplainsEveryFieldAndVersionNamesTheProgram) {
  const Ran help = run({"--help"});
  EXPECT_EQ(help.status, cli::kExitOk);
  for (const TrackField& field : trackSettingsFields())
    EXPECT_NE(help.out.find("  " + std::string(field.name) + " "), std::string::npos) << field.name;
  EXPECT_EQ(help.out.find("&&"), std::string::npos);
  const Ran version = run({"--version"});
  EXPECT_EQ(version.out, std::string("rendlow-cli ") + RENDLOW_VERSION + "\n");
}

TEST_F(Cli, ConvertsPrintingTheTracksAndTheFilesWritten) {
  const Ran ran = run({"song.mid"});
  EXPECT_EQ(ran.status, cli::kExitOk);
  EXPECT_NE(ran.out.find("  Piano      tr01           48       16       5            5  01-05"), std::string::npos)
      << ran.out;
  EXPECT_NE(ran.out.find("chart: song_out.bme\n"), std::string::npos);
  EXPECT_TRUE(ran.err.empty()) << ran.err;
  const Ran again = run({"-q", "song.mid"});
  EXPECT_TRUE(again.out.empty());
  EXPECT_EQ(again.err, "rendlow-cli: using the settings in song.txt\n");
}

TEST_F(Cli, VerboseProgressGoesToStandardErrorSoTheListStaysParseable) {
  const Ran ran = run({"--list", "--verbose", "song.mid"});
  EXPECT_EQ(ran.out,
            "0\tPiano\ttr01\t0\t960\t0\t1\t0\t0\t0\t0\t2\n"
            "1\tLead\ttr02\t0\t960\t0\t1\t0\t0\t0\t0\t2\n"
            "2\t\ttr03\t0\t960\t0\t1\t0\t0\t0\t0\t2\n");
  EXPECT_NE(ran.err.find("Read Track 1...\n"), std::string::npos);
  const Ran converted = run({"--verbose", "song.mid"});
  EXPECT_EQ(converted.out.find("Read Track"), std::string::npos);
  EXPECT_NE(converted.err.find("Read Track 1...\n"), std::string::npos);
}

struct Status {
  const char* name;
  std::vector<std::string> args;
  int status;
  const char* err;  // a line standard error must hold
};

TEST_F(Cli, TheExitStatusSaysHowTheJobEnded) {
  Bytes damaged = readBytes(dir.file("song.mid"));
  damaged.resize(300);
  writeBytes(dir.file("damaged.mid"), damaged);
  writeBytes(dir.file("locked.mid"), Bytes{'o', 'l', 'd'});
  fs::permissions(dir.file("locked.mid"), fs::perms::owner_write, fs::perm_options::remove);
  const Status cases[] = {
      {"refused", {"-o", "song.mid", "song.mid"}, cli::kExitFailed, "Nothing was written"},
      {"a read-only output", {"-o", "locked.mid", "song.mid"}, cli::kExitFailed,
       "Nothing was written: an output file is read-only."},
      {"a file not written", {"-o", "nofolder/out.mid", "song.mid"}, cli::kExitFailed,
       "Written: song.txt\n  Not written: nofolder/out.mid, nofolder/out.bme"},
      {"written with a warning", {"damaged.mid"}, cli::kExitWarning, "The MIDI file is damaged."},
      {"a warning, then a failure", {"damaged.mid", "nothere.mid"}, cli::kExitFailed,
       "rendlow-cli: nothere.mid:\n  The MIDI file cannot be read."},
  };
  for (const Status& c : cases) {
    SCOPED_TRACE(c.name);
    const Ran ran = run(c.args);
    EXPECT_EQ(ran.status, c.status);
    EXPECT_NE(ran.err.find(c.err), std::string::npos) << ran.err;
  }
  fs::permissions(dir.file("locked.mid"), fs::perms::owner_write, fs::perm_options::add);
}

TEST_F(Cli, SpeaksJapaneseWhenTheLocaleIsJapanese) {
  // The Japanese texts are the program's own bytes (Shift_JIS), so they are taken from the
  // catalogue rather than spelled here, and printed as the console shows them.
  const Message unreadable = midiNotLoadedMessage("", Message());
  const auto firstLine = [](const std::string& text) { return text.substr(0, text.find('\n')); };
  const std::string shown = printableText(unreadable.in(Audience::JapaneseConsole));
  EXPECT_NE(run({"nothere.mid"}, "ja_JP.UTF-8").err.find(firstLine(shown)), std::string::npos);
  const Ran usage = run({"--bad"}, "ja_JP.UTF-8");
  EXPECT_NE(usage.err.find("\"--bad\""), std::string::npos);
  EXPECT_EQ(usage.err.find("unknown option"), std::string::npos) << usage.err;
}

}  // namespace
}  // namespace rendlow::test
