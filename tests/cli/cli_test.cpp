// The command line as an author meets it: its options and their mistakes, what it prints where,
// its exit statuses and its language.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <tuple>

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include "app/row_edit.h"
#include "base/messages.h"
#include "base/system_text.h"
#include "cli/cli.h"
#include "cli/exit_status.h"
#include "slicer/track_fields.h"
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
      {{"--set", "0:definitionName=../evil", "song.mid"}, "may not be dots alone"},
      {{"--set", "0:definitionName=a|b", "song.mid"}, "may hold none of / \\ : * ? \" < > |"},
      {{"--list", "-q", "song.mid"}, "--list writes nothing"},
      {{"-o", "x.mid", "song.mid", "song.mid"}, "-o names the output of one input file, and 2 are given"},
      {{"--keysounds", "--compare-tracks", "renders", "song.mid"}, "--compare-tracks goes with --cut"},
      {{"--format", "json", "song.mid"}, "--format is bme or bmson, not json"},
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
  // help2man puts the usage lines under SYNOPSIS when each one after the first starts with "or:".
  EXPECT_TRUE(help.out.starts_with("Usage: rendlow-cli [options] INPUT...\n  or:  rendlow-cli --list ")) << help.out;
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

// Once: what is read, converted and written. Twice: every event and every byte too.
TEST_F(Cli, VerboseTellsProgressAndOnlyTwiceEveryEvent) {
  const Ran once = run({"-v", "song.mid"});
  const Ran twice = run({"-v", "-v", "song.mid"});
  for (const Ran* ran : {&once, &twice}) {
    for (const char* line : {"rendlow-cli: reading song.mid\n", "Set Mesauge: 4/4\n", "Read Track 1...\n",
                             "rendlow-cli: converted 4 tracks of song.mid\n", "rendlow-cli: wrote song_out.mid\n",
                             "rendlow-cli: wrote song.txt\n", "rendlow-cli: wrote song_out.bme\n"})
      EXPECT_NE(ran->err.find(line), std::string::npos) << line << ran->err;
  }
  EXPECT_EQ(once.err.find("NoteOn:"), std::string::npos);
  EXPECT_NE(twice.err.find("NoteOn:"), std::string::npos);
  EXPECT_GT(twice.err.size(), 4 * once.err.size());
  // Progress goes to standard error, so that the list stays parseable.
  EXPECT_EQ(run({"--list", "-v", "song.mid"}).out.find("Read Track"), std::string::npos);
  EXPECT_EQ(once.out.find("Read Track"), std::string::npos);
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
      {"a row the song lacks", {"--set", "5:enabled=0", "song.mid"}, cli::kExitUsage,
       "no row 5 (the song has 3 track rows)\n  Try 'rendlow-cli --help'"},
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

// The program itself, run as a shell runs it, in the test's folder: the statuses are what scripts
// see, so they are spelled here as numbers, not as the program's names for them.
int runProgram(const TempDir& dir, const std::string& args) {
  WorkingFolder here(dir.path());
  const std::string command = std::string("\"") + RENDLOW_CLI + "\" " + args + " >out.txt 2>err.txt";
  const int status = std::system(command.c_str());
#ifdef _WIN32
  return status;
#else
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

TEST_F(Cli, EachExitStatusHasOneMeaningAndHelpStatesIt) {
  Bytes damaged = readBytes(dir.file("song.mid"));
  damaged.resize(300);
  writeBytes(dir.file("damaged.mid"), damaged);
  const std::pair<const char*, int> cases[] = {
      {"song.mid", 0},
      {"-o song.mid song.mid", 1},
      {"--set 5:enabled=0 song.mid", 2},
      {"damaged.mid", 3},
  };
  const std::string help = run({"--help"}).out;
  const std::string statuses = help.substr(help.find("Exit status:\n"));
  for (const auto& [args, status] : cases) {
    EXPECT_EQ(runProgram(dir, args), status) << args;
    EXPECT_NE(statuses.find("\n  " + std::to_string(status) + "  "), std::string::npos) << status;
  }
}

// Past ZZ ids the chart is refused, and the rendering file with it: the pair written before
// stays, the settings file keeps the edits, and the sound files say they have nothing to work on.
TEST_F(Cli, ARefusedChartLeavesTheOldPairAndSavesTheSettings) {
  MidiBuilder builder;
  builder.track().tempoBpm(0, 120).endOfTrack(0);
  TrackBuilder& track = builder.track().name("Many");
  for (int n = 0; n < 1400; ++n)
    track.noteOn(n * 480, 0, 30 + n % 60, 90).noteOff(n * 480 + 10 + n / 60, 0, 30 + n % 60);
  track.endOfTrack(1400 * 480);
  writeBytes(dir.file("many.mid"), builder.bytes());
  ASSERT_EQ(run({"-o", "many_out.mid", "song.mid"}).status, cli::kExitOk);
  const std::string pair[] = {readText(dir.file("many_out.mid")), readText(dir.file("many_out.bme"))};
  const Ran ran = run({"--keysounds", "--set", "0:definitionName=kept", "many.mid"});
  EXPECT_EQ(ran.status, cli::kExitFailed);
  EXPECT_EQ(readText(dir.file("many_out.mid")), pair[0]);
  EXPECT_EQ(readText(dir.file("many_out.bme")), pair[1]);
  EXPECT_NE(readText(dir.file("many.txt")).find("\tkept\t"), std::string::npos);
  for (const char* line : {"The chart was not written.", "not written either: many_out.mid",
                           "Written: many.txt\n  Not written: many_out.mid, many_out.bme",
                           "No sound files were made"})
    EXPECT_NE(ran.err.find(line), std::string::npos) << line << ran.err;
}

TEST_F(Cli, ListShowsTheRowsAConversionWouldUseUnderAHeader) {
  ASSERT_EQ(run({"--set", "1:splitMethod=2", "--set", "0:velocitySplitWidth=16", "song.mid"}).status, cli::kExitOk);
  std::string header = "row\ttrack";
  for (const TrackField& field : trackSettingsFields()) header += "\t" + std::string(field.name);
  const auto lines = [](const std::string& text) {
    std::vector<std::string> split;
    for (std::size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
      split.push_back(text.substr(at, end - at));
    return split;
  };
  // The field a row's line holds under a column of the header.
  const auto cell = [&](const std::vector<std::string>& rows, std::size_t row, std::string_view column) {
    std::vector<std::string> names, values;
    std::stringstream h(rows[0]), v(rows[row + 1]);
    for (std::string part; std::getline(h, part, '\t');) names.push_back(part);
    for (std::string part; std::getline(v, part, '\t');) values.push_back(part);
    const auto at = std::find(names.begin(), names.end(), column) - names.begin();
    return static_cast<std::size_t>(at) < values.size() ? values[at] : "(none)";
  };
  const Ran saved = run({"--list", "song.mid"});
  const Ran fresh = run({"--list", "--defaults", "song.mid"});
  const auto savedRows = lines(saved.out), freshRows = lines(fresh.out);
  ASSERT_EQ(savedRows.size(), 4u) << saved.out;
  ASSERT_EQ(freshRows.size(), 4u) << fresh.out;
  EXPECT_EQ(savedRows[0], header);
  EXPECT_EQ(saved.err, "rendlow-cli: using the settings in song.txt\n");
  const std::tuple<std::size_t, const char*, const char*, const char*> cases[] = {
      {0, "track", "Piano", "Piano"}, {1, "splitMethod", "2", "1"}, {0, "velocitySplitWidth", "16", "0"},
      {1, "definitionName", "tr02", "tr02"}, {2, "enabled", "1", "1"},
  };
  for (const auto& [row, column, inSaved, inFresh] : cases) {
    EXPECT_EQ(cell(savedRows, row, column), inSaved) << row << column;
    EXPECT_EQ(cell(freshRows, row, column), inFresh) << row << column;
  }
}

TEST_F(Cli, OddOutputNamesAreToldNotHalfDone) {
  fs::create_directory(dir.file("charts"));
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* err;
    std::vector<const char*> written;
  };
  const Case cases[] = {
      {{"-o", "charts", "song.mid"}, cli::kExitFailed, "a folder has the name -o gives: charts", {}},
      {{"-o", "out.txt", "song.mid"}, cli::kExitUsage, "\".txt\" is the settings file's extension", {}},
      {{"-o", "charts/", "song.mid"}, cli::kExitOk, "", {"charts/song_out.mid", "charts/song_out.bme", "song.txt"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[1]);
    const Ran ran = run(c.args);
    EXPECT_EQ(ran.status, c.status);
    EXPECT_NE(ran.err.find(c.err), std::string::npos) << ran.err;
    for (const char* name : c.written) EXPECT_TRUE(fs::is_regular_file(dir.file(name))) << name;
    if (c.written.empty()) {
      EXPECT_FALSE(fs::exists(dir.file("song.txt")));
      EXPECT_TRUE(fs::is_empty(dir.file("charts")));
    }
  }
}

TEST_F(Cli, ACutOfAFileIsAnsweredInTheProgramsWords) {
  const Ran ran = run({"--cut", "song.mid", "song.mid"});
  EXPECT_EQ(ran.status, cli::kExitUsage);
  EXPECT_NE(ran.err.find("--cut takes the folder of the stems, and song.mid is not a folder"), std::string::npos)
      << ran.err;
  EXPECT_EQ(ran.err.find("Not a directory"), std::string::npos);
}

}  // namespace
}  // namespace rendlow::test
