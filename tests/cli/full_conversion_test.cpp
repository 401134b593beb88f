// rendlow-cli INPUT...: the "Midi&&BMS出力" button without a window, with the report of the
// converted tracks an author tunes the settings by.

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <sstream>
#include <vector>

#include "cli/cli.h"
#include "cli/error_output.h"
#include "cli/exit_status.h"
#include "cli_run.h"
#include "base/messages.h"
#include "support/chart_text.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"

namespace rendlow::cli {
namespace {

using Outcome = test::CliOutcome;
using test::runCommandLine;

bool exists(const std::string& path) { return std::filesystem::exists(path); }

class FullConversion : public ::testing::Test {
protected:
  // A conductor; Piano with a repeated chord (one sound); an unnamed bass line of two sounds.
  FullConversion() {
    test::MidiBuilder song;
    song.track().name("Conductor").tempo(0, 500000).timeSignature(0, 4, 2).endOfTrack(3840);
    auto& piano = song.track().name("Piano");
    for (int tick : {0, 1920}) {
      for (int note : {60, 64, 67}) piano.noteOn(tick, 0, note, 100);
      for (int note : {60, 64, 67}) piano.noteOff(tick + 960, 0, note);
    }
    piano.endOfTrack(3840);
    song.track()
        .noteOn(0, 1, 36, 100)
        .noteOff(480, 1, 36)
        .noteOn(960, 1, 38, 100)
        .noteOff(1440, 1, 38)
        .endOfTrack(3840);
    song.write(midi);
  }

  test::TempDir dir;
  const std::string midi = dir.file("song.mid");
};

TEST_F(FullConversion, ConvertsAsTheMidiAndBmsButtonAndReportsTracksAndFiles) {
  const Outcome result = runCommandLine({midi});
  EXPECT_EQ(result.status, kExitOk) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out, midi + "\n" +
                            "  track      definition  notes  objects  sounds  definitions  #WAV\n"
                            "  Conductor  -               0        0       0            0  -\n"
                            "  Piano      tr01            6        2       1            1  01-01\n"
                            "  (no name)  tr02            2        2       2            2  04-05\n"
                            "rendering MIDI file: " +
                            dir.file("song_out.mid") + "\n" + "settings file: " + dir.file("song.txt") +
                            "\n" + "chart: " + dir.file("song_out.bme") + "\n");
  EXPECT_NE(test::readTextFile(dir.file("song_out.bme")).find("#WAV04 tr02_01.wav\n#WAV05 tr02_02.wav\n"),
            std::string::npos);
}

TEST_F(FullConversion, TheOtherButtonsAndTheOutputPath) {
  const Outcome noChart = runCommandLine({"--no-chart", "-o", dir.file("render.mid"), midi});
  EXPECT_EQ(noChart.status, kExitOk) << noChart.err;
  EXPECT_TRUE(exists(dir.file("render.mid")));
  EXPECT_FALSE(exists(dir.file("render.bme")));
  EXPECT_EQ(noChart.out.find("chart: "), std::string::npos);

  const Outcome settingsOnly = runCommandLine({"--settings-only", "-o", dir.file("other.mid"), midi});
  EXPECT_EQ(settingsOnly.status, kExitOk) << settingsOnly.err;
  EXPECT_EQ(settingsOnly.out, "settings file: " + dir.file("song.txt") + "\n");
  EXPECT_FALSE(exists(dir.file("other.mid")));
  EXPECT_NE(test::readTextFile(dir.file("song.txt")).find("o\t" + dir.file("other.mid") + "\n"),
            std::string::npos);

  const Outcome chart = runCommandLine({"-q", "--output=" + dir.file("with_chart.mid"), midi});
  EXPECT_EQ(chart.out, "");
  EXPECT_TRUE(exists(dir.file("with_chart.bme")));
}

TEST_F(FullConversion, EditsRowsAndTheChartHeaderBeforeConverting) {
  const Outcome result = runCommandLine({"--set", "0:definitionName=piano", "--set", "1:splitMethod=0",
                                         "--set", "1:wavDefinitionGap=0", "--genre", "Demo", "--title=Song",
                                         "--artist", "Me", "-q", midi});
  EXPECT_EQ(result.status, kExitOk) << result.err;
  const std::string chart = test::readTextFile(dir.file("song_out.bme"));
  EXPECT_EQ(chart.rfind("#PLAYER 1\n#GENRE Demo\n#TITLE Song\n#ARTIST Me\n", 0), 0u) << chart;
  EXPECT_NE(chart.find("#WAV01 piano_01.wav\n#WAV04 tr02_01.wav\n#WAV05 tr02_02.wav\n"), std::string::npos)
      << chart;
  // The edits are kept in the settings file, with every value they did not name.
  EXPECT_NE(test::readTextFile(dir.file("song.txt"))
                .find("tr\tPiano\tpiano\t0\t960\t0\t1\t0\t0\t0\t0\t2\n"
                      "tr\t\ttr02\t0\t960\t0\t0\t0\t0\t0\t0\t0\n"),
            std::string::npos);
}

TEST_F(FullConversion, AnUncheckedRowLeavesTheTableAndTheChart) {
  const Outcome result = runCommandLine({"--set", "0:enabled=0", midi});
  EXPECT_EQ(result.status, kExitOk) << result.err;
  EXPECT_EQ(result.out.find("Piano"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("  (no name)  tr02            2        2       2            2  01-02\n"),
            std::string::npos)
      << result.out;
}

TEST_F(FullConversion, ConvertsEachInputInTurnAndFailsForTheOnesItCannotRead) {
  const std::string missing = dir.file("missing.mid");
  const Outcome result = runCommandLine({"-q", missing, midi});
  EXPECT_EQ(result.status, kExitFileFailed);
  EXPECT_EQ(result.err, asStandardError(midiNotLoadedMessage(missing, readReason(ENOENT))));
  EXPECT_TRUE(exists(dir.file("song_out.bme")));

  // The settings file just written names the song and its rows.
  std::filesystem::remove(dir.file("song_out.bme"));
  EXPECT_EQ(runCommandLine({"-q", dir.file("song.txt")}).status, kExitOk);
  EXPECT_TRUE(exists(dir.file("song_out.bme")));
}

TEST_F(FullConversion, AnOutputThatCannotBeWrittenIsAFailure) {
  const std::string output = dir.file("no-such-folder/out.mid");
  const Outcome result = runCommandLine({"-o", output, midi});
  EXPECT_EQ(result.status, kExitFileFailed);
  EXPECT_EQ(result.err,
            asStandardError(midiNotWrittenMessage(output, writeReason(ENOENT))) +
                asStandardError(chartFailedMessage(dir.file("no-such-folder/out.bme"), writeReason(ENOENT))));
  EXPECT_NE(result.out.find("settings file: " + dir.file("song.txt") + "\n"), std::string::npos);
}

TEST_F(FullConversion, VerboseShowsTheEnginesLinesBeforeTheReport) {
  const Outcome result = runCommandLine({"--verbose", midi});
  EXPECT_EQ(result.out.rfind("Read Track 1...\n", 0), 0u);
  EXPECT_NE(result.out.find("NoteOn: 960 480 38\n"), std::string::npos);
  EXPECT_LT(result.out.find("NoteOn:"), result.out.find(midi + "\n  track"));
}

TEST(FullConversionLimits, AChartPastALimitIsToldButIsNoFailure) {
  test::TempDir dir;
  test::MidiBuilder song;
  song.track().name("Conductor").tempo(0, 500000).endOfTrack(0);
  auto& notes = song.track().name("Notes");
  for (int i = 0; i < 1000; ++i) notes.noteOn(i * 1920, 0, 60, 100).noteOff(i * 1920 + 10, 0, 60);
  notes.endOfTrack(1000 * 1920);
  song.write(dir.file("long.mid"));
  const Outcome result = runCommandLine({"-q", dir.file("long.mid")});
  EXPECT_EQ(result.status, kExitOk);
  EXPECT_EQ(result.err,
            asStandardError(chartRefusedMessage(dir.file("long_out.bme"), measureBreach(1000, 999, false))));
  EXPECT_TRUE(exists(dir.file("long_out.mid")));
  EXPECT_FALSE(exists(dir.file("long_out.bme")));
}

}  // namespace
}  // namespace rendlow::cli
