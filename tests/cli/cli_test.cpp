#include "cli/cli.h"
#include "cli_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <vector>

#include "cli/exit_status.h"
#include "cli/options.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"

namespace rendlow::cli {
namespace {

using Outcome = test::CliOutcome;
using test::runCommandLine;

void writeText(const std::string& path, const std::string& text) {
  test::writeBytes(path, test::Bytes(text.begin(), text.end()));
}

// One line on standard error, starting with the program's name.
void expectOneErrorLine(const Outcome& result, const std::string& line) {
  EXPECT_EQ(result.err, "rendlow-cli: " + line + "\n");
  EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1);
}

class ListCommand : public ::testing::Test {
protected:
  // A conductor; Piano; a track with content only at tick 0 (no row); an unnamed track; Bass.
  void SetUp() override {
    test::MidiBuilder song;
    song.track().name("Conductor").tempo(0, 500000).timeSignature(0, 3, 2).endOfTrack(0);
    song.track().name("Piano").noteOn(0, 0, 60, 100).noteOff(480, 0, 60).endOfTrack(480);
    song.track().name("Setup").programChange(0, 0, 5).endOfTrack(0);
    song.track().noteOn(960, 1, 40, 90).noteOff(1440, 1, 40).endOfTrack(1440);
    song.track().name("Bass").noteOn(0, 2, 36, 80).noteOff(240, 2, 36).endOfTrack(240);
    song.write(midi);
  }

  test::TempDir dir;
  const std::string midi = dir.file("song.mid");
};

TEST_F(ListCommand, PrintsOneLinePerRowWithTheFieldsOfATrackLine) {
  const Outcome result = runCommandLine({"--list", midi});
  EXPECT_EQ(result.status, kExitOk);
  EXPECT_EQ(result.out,
            "0\tPiano\ttr01\t0\t960\t0\t1\t0\t0\t0\t0\t2\n"
            "1\t\ttr02\t0\t960\t0\t1\t0\t0\t0\t0\t2\n"
            "2\tBass\ttr03\t0\t960\t0\t1\t0\t0\t0\t0\t2\n");
  EXPECT_EQ(result.err, "");
}

TEST_F(ListCommand, VerbosePrintsTheReadersLinesFirst) {
  const Outcome result = runCommandLine({"--list", "--verbose", midi});
  EXPECT_EQ(result.status, kExitOk);
  EXPECT_EQ(result.out,
            "Read Track 1...\n"
            "Name: Conductor\n"
            "Set BPM: 120.000000\n"
            "Set Mesauge: 3/4\n"
            "Read Track 2...\n"
            "Name: Piano\n"
            "Read Track 3...\n"
            "Name: Setup\n"
            "Read Track 4...\n"
            "Read Track 5...\n"
            "Name: Bass\n"
            "Read Track End\n"
            "0\tPiano\ttr01\t0\t960\t0\t1\t0\t0\t0\t0\t2\n"
            "1\t\ttr02\t0\t960\t0\t1\t0\t0\t0\t0\t2\n"
            "2\tBass\ttr03\t0\t960\t0\t1\t0\t0\t0\t0\t2\n");
}

TEST_F(ListCommand, ListsASettingsFileWithItsRecordsApplied) {
  const std::string settings = dir.file("song.txt");
  writeText(settings, "i\t" + midi + "\r\n" +
                          "tr\tBass\tbs\t8\t480\t240\t2\t10\t7\t4\t5\t3\r\n"
                          "tr\t\tnoname\t1\t2\t3\t0\r\n"
                          "tr\tPiano\t\t1\r\n");
  const Outcome result = runCommandLine({"--list", settings});
  EXPECT_EQ(result.status, kExitOk) << result.err;
  // The records of Piano and the unnamed track stop at an empty text: all their numbers are the
  // defaults, the grid of 1920 included, where a plain load shows 0. Bass's flag 7 reads as 1.
  EXPECT_EQ(result.out,
            "0\tPiano\ttr01\t0\t960\t1920\t1\t0\t0\t0\t0\t2\n"
            "1\t\ttr02\t0\t960\t1920\t1\t0\t0\t0\t0\t2\n"
            "2\tBass\tbs\t8\t480\t240\t2\t10\t1\t4\t5\t3\n");
}

TEST_F(ListCommand, FailsCleanlyOnAMissingFile) {
  const std::string missing = dir.file("missing.mid");
  const Outcome result = runCommandLine({"--list", missing});
  EXPECT_EQ(result.status, kExitFileFailed);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err.rfind("rendlow-cli: cannot open \"" + missing + "\": ", 0), 0u) << result.err;
  EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1);
}

TEST_F(ListCommand, FailsCleanlyOnFilesThatAreNotMidiFiles) {
  const std::string text = dir.file("text.mid");
  writeText(text, "MTh");
  expectOneErrorLine(runCommandLine({"--list", text}),
                     "\"" + text + "\" is not a MIDI file: it does not start with \"MThd\"");

  writeText(text, "RIFF....WAVEfmt ");
  const Outcome riff = runCommandLine({"--list", text});
  EXPECT_EQ(riff.status, kExitFileFailed);
  EXPECT_EQ(riff.out, "");
  expectOneErrorLine(riff, "\"" + text + "\" is not a MIDI file: it does not start with \"MThd\"");

  writeText(text, std::string("MThd\0\0\0\6\0\1", 10));
  expectOneErrorLine(runCommandLine({"--list", text}), "\"" + text + "\" is not a MIDI file: its header is cut short");

  test::MidiBuilder timeCode(-7936);
  timeCode.track().endOfTrack(0);
  timeCode.write(text);
  const Outcome refused = runCommandLine({"--list", text});
  EXPECT_EQ(refused.status, kExitFileFailed);
  expectOneErrorLine(
      refused,
      "\"" + text + "\" is not supported: its division is -7936, not a number of ticks per quarter note");

  const Outcome folder = runCommandLine({"--list", dir.path()});
  EXPECT_EQ(folder.status, kExitFileFailed);
  expectOneErrorLine(folder, "cannot open \"" + dir.path() + "\": it is a folder");
}

TEST_F(ListCommand, FailsCleanlyOnSettingsFilesThatLeadToNoSong) {
  const std::string settings = dir.file("song.txt");
  const Outcome missing = runCommandLine({"--list", settings});
  EXPECT_EQ(missing.status, kExitFileFailed);
  EXPECT_EQ(missing.err.rfind("rendlow-cli: cannot open \"" + settings + "\": ", 0), 0u) << missing.err;

  writeText(settings, "o\tout.mid\n");
  const Outcome noInput = runCommandLine({"--list", settings});
  EXPECT_EQ(noInput.status, kExitFileFailed);
  expectOneErrorLine(noInput, "settings file \"" + settings + "\" names no MIDI file (no \"i\" line)");

  const std::string gone = dir.file("gone.mid");
  writeText(settings, "i\t" + gone + "\n");
  const Outcome goneMidi = runCommandLine({"--list", settings});
  EXPECT_EQ(goneMidi.status, kExitFileFailed);
  EXPECT_EQ(goneMidi.err.rfind("rendlow-cli: cannot open \"" + gone + "\": ", 0), 0u) << goneMidi.err;
  EXPECT_NE(goneMidi.err.find("(named by settings file \"" + settings + "\")\n"), std::string::npos);
}

TEST(CommandLine, HelpGoesToStandardOutput) {
  const Outcome result = runCommandLine({"--help"});
  EXPECT_EQ(result.status, kExitOk);
  EXPECT_EQ(result.out, usageText());
  EXPECT_EQ(result.err, "");
}

TEST(CommandLine, MistakesGiveAUsageErrorAndStatusTwo) {
  for (const auto& args : std::vector<std::vector<std::string>>{{}, {"--bogus", "a.mid"}, {"--list"}}) {
    const Outcome result = runCommandLine(args);
    EXPECT_EQ(result.status, kExitUsage);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.rfind("rendlow-cli: ", 0), 0u);
    EXPECT_NE(result.err.find("\nTry 'rendlow-cli --help' for more information.\n"), std::string::npos);
  }
}

}  // namespace
}  // namespace rendlow::cli
