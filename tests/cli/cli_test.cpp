#include "cli/cli.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <sstream>
#include <vector>

#include "cli/error_output.h"
#include "cli/exit_status.h"
#include "cli/options.h"
#include "cli_run.h"
#include "base/messages.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"

namespace rendlow::cli {
namespace {

using Outcome = test::CliOutcome;
using test::runCommandLine;

void writeText(const std::string& path, const std::string& text) {
  test::writeBytes(path, test::Bytes(text.begin(), text.end()));
}

// A file error: nothing on standard output, the message on standard error, status 1.
void expectFileError(const Outcome& result, const std::string& message) {
  EXPECT_EQ(result.status, kExitFileFailed);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, asStandardError(message));
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
  expectFileError(runCommandLine({"--list", missing}), midiNotLoadedMessage(missing, readReason(ENOENT)));
}

TEST_F(ListCommand, FailsCleanlyOnFilesThatAreNotMidiFiles) {
  const std::string text = dir.file("text.mid");
  writeText(text, "MTh");
  expectFileError(runCommandLine({"--list", text}), midiNotLoadedMessage(text, notMidiReason()));
  writeText(text, "RIFF....WAVEfmt ");
  expectFileError(runCommandLine({"--list", text}), midiNotLoadedMessage(text, notMidiReason()));
  writeText(text, std::string("MThd\0\0\0\6\0\1", 10));
  expectFileError(runCommandLine({"--list", text}), midiNotLoadedMessage(text, headerCutShortReason()));

  test::MidiBuilder timeCode(-7936);
  timeCode.track().endOfTrack(0);
  timeCode.write(text);
  const Outcome refused = runCommandLine({"--list", text});
  expectFileError(refused, midiNotLoadedMessage(text, divisionReason(-7936)));
  EXPECT_NE(refused.err.find("-7936"), std::string::npos);

  expectFileError(runCommandLine({"--list", dir.path()}), midiNotLoadedMessage(dir.path(), folderReason()));
}

TEST_F(ListCommand, FailsCleanlyOnSettingsFilesThatLeadToNoSong) {
  const std::string settings = dir.file("song.txt");
  expectFileError(runCommandLine({"--list", settings}),
                  settingsUnreadableMessage(settings, readReason(ENOENT)));

  writeText(settings, "o\tout.mid\n");
  expectFileError(runCommandLine({"--list", settings}),
                  settingsUnreadableMessage(settings, noMidiNamedReason()));

  const std::string gone = dir.file("gone.mid");
  writeText(settings, "i\t" + gone + "\n");
  const Outcome goneMidi = runCommandLine({"--list", settings});
  expectFileError(goneMidi, midiNotLoadedMessage(gone, readReason(ENOENT), settings));
  EXPECT_NE(goneMidi.err.find(settings), std::string::npos);
}

TEST(ErrorOutput, AMessageStartsWithTheProgramsNameAndIndentsItsFurtherLines) {
  EXPECT_EQ(asStandardError("what\nfile\nwhy"), "rendlow-cli: what\n  file\n  why\n");
  EXPECT_EQ(asStandardError("one line"), "rendlow-cli: one line\n");
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
