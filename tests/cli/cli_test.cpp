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
#include "cli/cli_run.h"
#include "cli/exit_status.h"
#include "slicer/track_fields.h"
#include "support/case_table.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"

namespace rendlow::test {
namespace {

namespace fs = std::filesystem;

// The example song as song.mid in a folder of its own, where the command line runs.
class Cli : public ::testing::Test {
protected:
  void SetUp() override {
    fs::copy_file(std::string(RENDLOW_SOURCE_DIR) + "/examples/example_song.mid", dir.file("song.mid"));
  }

  Ran run(const std::vector<std::string>& args, const char* lang = "C") { return runCliIn(dir, args, lang); }

  TempDir dir;
};

TEST_F(Cli, MistakesInTheCommandLineAreUsageErrorsSaidInOneLine) {
  for (const CaseLine& c : readCaseTable("cli/data/usage_mistakes.txt")) {
    SCOPED_TRACE(c.where);
    const Ran ran = run(argumentsOf(c.columns.at(0)));
    const std::string& says = c.columns.at(1);
    EXPECT_EQ(ran.status, cli::kExitUsage);
    EXPECT_NE(ran.err.find(says), std::string::npos) << ran.err;
    EXPECT_NE(ran.err.find("Try 'rendlow-cli --help'"), std::string::npos);
    EXPECT_TRUE(ran.out.empty());
  }
}

// help2man makes a man page of --help in each language: it finds the usage lines by their first
// words ("Usage:", then "or:" before each further one) and the options by their heading, in the
// words of its own translation of that language.
TEST_F(Cli, HelpExplainsEveryOptionAndFieldInTheLocalesLanguageAndVersionNamesTheProgram) {
  const struct {
    const char* lang;
    const char* usage;
    const char* options;
    const char* golden;
  } languages[] = {
      {"C", "Usage: rendlow-cli [options] INPUT...\n  or:  rendlow-cli --list ", "\nOptions:\n",
       "help.en.txt"},
      {"ja_JP.UTF-8", "使用法: rendlow-cli [オプション] INPUT...\n  または:  rendlow-cli --list ",
       "\nオプション:\n", "help.ja.txt"},
  };
  for (const auto& language : languages) {
    SCOPED_TRACE(language.lang);
#ifdef _WIN32
    // The console there speaks code page 932, which these UTF-8 texts are not.
    if (std::string_view(language.lang) != "C") continue;
#endif
    const Ran help = run({"--help"}, language.lang);
    EXPECT_EQ(help.status, cli::kExitOk);
    for (const TrackField& field : trackSettingsFields())
      EXPECT_NE(help.out.find("\n  " + std::string(field.name) + " "), std::string::npos) << field.name;
    EXPECT_EQ(help.out.find("&&"), std::string::npos);
    EXPECT_TRUE(help.out.starts_with(language.usage)) << help.out;
    EXPECT_NE(help.out.find(language.options), std::string::npos);
#ifndef _WIN32
    expectGolden(help.out, std::string(RENDLOW_TEST_DATA_DIR) + "/cli/data/" + language.golden);
#endif
  }
  const Ran version = run({"--version"});
  EXPECT_EQ(version.out, std::string("rendlow-cli ") + RENDLOW_VERSION + "\n");
}

// The tables and the list of files written, under headings in the locale's language. (The console
// of Windows speaks code page 932, which the Japanese texts of the table are not.)
TEST_F(Cli, PrintsTheTracksAndTheFilesWrittenInTheLocalesLanguage) {
  EXPECT_TRUE(run({"song.mid"}).err.empty());
  for (const CaseLine& c : readCaseTable("cli/data/printed_tables.txt")) {
    SCOPED_TRACE(c.where);
#ifdef _WIN32
    if (c.columns.at(1) != "C") continue;
#endif
    const Ran ran = run(argumentsOf(c.columns.at(0)), c.columns.at(1).c_str());
    EXPECT_EQ(ran.status, cli::kExitOk) << ran.err;
    EXPECT_NE(ran.out.find(unescaped(c.columns.at(2))), std::string::npos) << ran.out;
  }
  const Ran quiet = run({"-q", "song.mid"});
  EXPECT_TRUE(quiet.out.empty());
  EXPECT_EQ(quiet.err, "rendlow-cli: using the settings in song.txt\n");
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

// The program itself, run as a shell runs it, in the test's folder.
int runProgram(const TempDir& dir, const std::vector<std::string>& args) {
  WorkingFolder here(dir.path());
  std::string command = std::string("\"") + RENDLOW_CLI + "\"";
  for (const std::string& arg : args) command += " " + arg;
  const int status = std::system((command + " >out.txt 2>err.txt").c_str());
#ifdef _WIN32
  return status;
#else
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

// Over 1,300 notes of distinct pitch and length: more sounds than ids a chart can name.
Bytes songPastItsIds() {
  MidiBuilder builder;
  builder.track().tempoBpm(0, 120).endOfTrack(0);
  TrackBuilder& track = builder.track().name("Many");
  for (int n = 0; n < 1400; ++n)
    track.noteOn(n * 480, 0, 30 + n % 60, 90).noteOff(n * 480 + 10 + n / 60, 0, 30 + n % 60);
  track.endOfTrack(1400 * 480);
  return builder.bytes();
}

// The statuses are what scripts see, so they are spelled here as numbers, not as the program's
// names for them; each has one meaning, which the help states.
TEST_F(Cli, TheExitStatusSaysHowTheJobEndedAndHelpStatesEach) {
  Bytes damaged = readBytes(dir.file("song.mid"));
  damaged.resize(300);
  writeBytes(dir.file("damaged.mid"), damaged);
  writeBytes(dir.file("locked.mid"), Bytes{'o', 'l', 'd'});
  fs::permissions(dir.file("locked.mid"), fs::perms::owner_write, fs::perm_options::remove);
  writeBytes(dir.file("many.mid"), songPastItsIds());
  fs::create_directory(dir.file("stems"));
  fs::copy_file(dir.file("song.mid"), dir.file("lyrics.mid"));
  writeBytes(dir.file("lyrics.txt"), Bytes{'l', 'a', ' ', 'l', 'a', '\n'});
  fs::copy_file(dir.file("song.mid"), dir.file("rows.mid"));
  const std::string rows = "i\trows.mid\no\trows_out.mid\ntr\tPiano\tpno\t0\t960\t1.5\n";
  writeBytes(dir.file("rows.txt"), Bytes(rows.begin(), rows.end()));
  const std::string help = run({"--help"}).out;
  const std::string statuses = help.substr(help.find("Exit status:\n"));
  for (const CaseLine& c : readCaseTable("cli/data/exit_statuses.txt")) {
    SCOPED_TRACE(c.where);
    const std::vector<std::string> args = argumentsOf(c.columns.at(1));
    const int status = static_cast<int>(numbersOf(c.columns.at(2)).at(0));
    const Ran ran = run(args);
    EXPECT_EQ(ran.status, status);
    EXPECT_NE(ran.err.find(unescaped(c.columns.at(3))), std::string::npos) << ran.err;
    EXPECT_EQ(runProgram(dir, args), status);
    EXPECT_NE(statuses.find("\n  " + std::to_string(status) + "  "), std::string::npos);
  }
  fs::permissions(dir.file("locked.mid"), fs::perms::owner_write, fs::perm_options::add);
}

// The rows of a --list output, each split at its TABs; the header first.
std::vector<std::vector<std::string>> listed(const std::string& list) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(list);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream cells(line);
    rows.emplace_back();
    for (std::string cell; std::getline(cells, cell, '\t');) rows.back().push_back(cell);
  }
  return rows;
}

TEST_F(Cli, ListShowsTheRowsAConversionWouldUseUnderAHeader) {
  ASSERT_EQ(run({"--set", "1:splitMethod=2", "--set", "0:velocitySplitWidth=16", "song.mid"}).status, cli::kExitOk);
  std::vector<std::string> header = {"row", "track"};
  for (const TrackField& field : trackSettingsFields()) header.emplace_back(field.name);
  const Ran saved = run({"--list", "song.mid"});
  EXPECT_EQ(saved.err, "rendlow-cli: using the settings in song.txt\n");
  const auto savedRows = listed(saved.out), freshRows = listed(run({"--list", "--defaults", "song.mid"}).out);
  ASSERT_EQ(savedRows.size(), 4u) << saved.out;
  ASSERT_EQ(freshRows.size(), 4u);
  EXPECT_EQ(savedRows[0], header);
  // The field a row's line holds under a column of the header.
  const auto cell = [&](const std::vector<std::vector<std::string>>& rows, std::size_t row, std::string_view column) {
    const auto at = static_cast<std::size_t>(std::find(header.begin(), header.end(), column) - header.begin());
    return at < rows[row + 1].size() ? rows[row + 1][at] : "(none)";
  };
  const std::tuple<std::size_t, const char*, const char*, const char*> cases[] = {
      {0, "track", "Piano", "Piano"}, {1, "splitMethod", "2", "1"}, {0, "velocitySplitWidth", "16", "0"},
      {1, "definitionName", "tr02", "tr02"}, {2, "enabled", "1", "1"},
  };
  for (const auto& [row, column, inSaved, inFresh] : cases) {
    EXPECT_EQ(cell(savedRows, row, column), inSaved) << row << column;
    EXPECT_EQ(cell(freshRows, row, column), inFresh) << row << column;
  }
}

// An output name ending in "/" names the folder to write into; the settings file stays beside the
// song. (The names refused are among the usage mistakes and the exit statuses.)
TEST_F(Cli, AnOutputNameEndingInASlashWritesIntoThatFolder) {
  fs::create_directory(dir.file("charts"));
  EXPECT_EQ(run({"-o", "charts/", "song.mid"}).status, cli::kExitOk);
  for (const char* name : {"charts/song_out.mid", "charts/song_out.bme", "song.txt"})
    EXPECT_TRUE(fs::is_regular_file(dir.file(name))) << name;
}

}  // namespace
}  // namespace rendlow::test
