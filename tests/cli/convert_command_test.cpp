#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <vector>

#include "cli/cli.h"
#include "cli/exit_status.h"
#include "cli/row_edit.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"

namespace rendlow::cli {
namespace {

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

Outcome run(std::vector<std::string> args) {
  std::ostringstream out;
  std::ostringstream err;
  Outcome result;
  result.status = runCli(args, out, err);
  result.out = out.str();
  result.err = err.str();
  return result;
}

bool exists(const std::string& path) { return std::filesystem::exists(path); }

class ConvertCommand : public ::testing::Test {
protected:
  // A conductor; Piano with a repeated chord (one sound); an unnamed bass line of two sounds.
  ConvertCommand() {
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

TEST_F(ConvertCommand, ConvertsAsTheMidiAndBmsButtonAndReportsTracksAndFiles) {
  const Outcome result = run({midi});
  EXPECT_EQ(result.status, kExitOk) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out, midi + "\n" +
                            "  track      definition  notes  objects  sounds  definitions  #WAV\n"
                            "  Conductor  -               0        0       0            0  -\n"
                            "  Piano      tr01            6        2       1            1  01-01\n"
                            "  (no name)  tr02            2        2       2            2  04-05\n"
                            "wrote " +
                            dir.file("song_out.mid") + "\n" + "wrote " + dir.file("song.txt") + "\n" +
                            "wrote " + dir.file("song_out.bme") + "\n");
  EXPECT_NE(test::readText(dir.file("song_out.bme")).find("#WAV04 tr02_01.wav\n#WAV05 tr02_02.wav\n"),
            std::string::npos);
}

TEST_F(ConvertCommand, TheOtherButtonsAndTheOutputPath) {
  const Outcome noChart = run({"--no-chart", "-o", dir.file("render.mid"), midi});
  EXPECT_EQ(noChart.status, kExitOk) << noChart.err;
  EXPECT_TRUE(exists(dir.file("render.mid")));
  EXPECT_FALSE(exists(dir.file("render.bme")));
  EXPECT_EQ(noChart.out.find("wrote " + dir.file("render.bme")), std::string::npos);

  const Outcome settingsOnly = run({"--settings-only", "-o", dir.file("other.mid"), midi});
  EXPECT_EQ(settingsOnly.status, kExitOk) << settingsOnly.err;
  EXPECT_EQ(settingsOnly.out, midi + "\nwrote " + dir.file("song.txt") + "\n");
  EXPECT_FALSE(exists(dir.file("other.mid")));
  EXPECT_NE(test::readText(dir.file("song.txt")).find("o\t" + dir.file("other.mid") + "\n"),
            std::string::npos);

  const Outcome chart = run({"-q", "--output=" + dir.file("with_chart.mid"), midi});
  EXPECT_EQ(chart.out, "");
  EXPECT_TRUE(exists(dir.file("with_chart.bme")));
}

TEST_F(ConvertCommand, EditsRowsAndTheChartHeaderBeforeConverting) {
  const Outcome result =
      run({"--set", "0:definitionName=piano", "--set", "1:splitMethod=0", "--set", "1:wavDefinitionGap=0",
           "--genre", "Demo", "--title=Song", "--artist", "Me", "-q", midi});
  EXPECT_EQ(result.status, kExitOk) << result.err;
  const std::string chart = test::readText(dir.file("song_out.bme"));
  EXPECT_EQ(chart.rfind("#PLAYER 1\n#GENRE Demo\n#TITLE Song\n#ARTIST Me\n", 0), 0u) << chart;
  EXPECT_NE(chart.find("#WAV01 piano_01.wav\n#WAV04 tr02_01.wav\n#WAV05 tr02_02.wav\n"), std::string::npos)
      << chart;
  // The edits are kept in the settings file, with every value they did not name.
  EXPECT_NE(test::readText(dir.file("song.txt"))
                .find("tr\tPiano\tpiano\t0\t960\t0\t1\t0\t0\t0\t0\t2\n"
                      "tr\t\ttr02\t0\t960\t0\t0\t0\t0\t0\t0\t0\n"),
            std::string::npos);
}

TEST_F(ConvertCommand, AnUncheckedRowLeavesTheTableAndTheChart) {
  const Outcome result = run({"--set", "0:enabled=0", midi});
  EXPECT_EQ(result.status, kExitOk) << result.err;
  EXPECT_EQ(result.out.find("Piano"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("  (no name)  tr02            2        2       2            2  01-02\n"),
            std::string::npos)
      << result.out;
}

TEST_F(ConvertCommand, ConvertsEachInputInTurnAndFailsForTheOnesItCannotRead) {
  const std::string missing = dir.file("missing.mid");
  const Outcome result = run({"-q", missing, midi});
  EXPECT_EQ(result.status, kExitFileFailed);
  EXPECT_EQ(result.err.rfind("rendlow-cli: cannot open \"" + missing + "\": ", 0), 0u) << result.err;
  EXPECT_TRUE(exists(dir.file("song_out.bme")));

  // The settings file just written names the song and its rows.
  std::filesystem::remove(dir.file("song_out.bme"));
  EXPECT_EQ(run({"-q", dir.file("song.txt")}).status, kExitOk);
  EXPECT_TRUE(exists(dir.file("song_out.bme")));
}

TEST_F(ConvertCommand, AnOutputThatCannotBeWrittenIsAFailure) {
  const std::string output = dir.file("no-such-folder/out.mid");
  const Outcome result = run({"-o", output, midi});
  EXPECT_EQ(result.status, kExitFileFailed);
  EXPECT_NE(result.err.find("rendlow-cli: cannot write \"" + output + "\": "), std::string::npos)
      << result.err;
  EXPECT_NE(result.err.find("rendlow-cli: cannot write \"" + dir.file("no-such-folder/out.bme") + "\": "),
            std::string::npos)
      << result.err;
  EXPECT_NE(result.out.find("wrote " + dir.file("song.txt") + "\n"), std::string::npos);
}

TEST_F(ConvertCommand, ARowTheSongDoesNotHaveIsAUsageError) {
  const Outcome result = run({"--set", "2:gridUnit=480", midi});
  EXPECT_EQ(result.status, kExitUsage);
  EXPECT_EQ(result.err, "rendlow-cli: --set 2:gridUnit: \"" + midi + "\" has 2 track rows, no row 2\n");
  EXPECT_FALSE(exists(dir.file("song_out.mid")));
}

TEST_F(ConvertCommand, VerboseShowsTheEnginesLinesBeforeTheReport) {
  const Outcome result = run({"--verbose", midi});
  EXPECT_EQ(result.out.rfind("Read Track 1...\n", 0), 0u);
  EXPECT_NE(result.out.find("NoteOn: 960 480 38\n"), std::string::npos);
  EXPECT_LT(result.out.find("NoteOn:"), result.out.find(midi + "\n  track"));
}

TEST(ConvertCommandLimits, AChartPastALimitIsToldButIsNoFailure) {
  test::TempDir dir;
  test::MidiBuilder song;
  song.track().name("Conductor").tempo(0, 500000).endOfTrack(0);
  auto& notes = song.track().name("Notes");
  for (int i = 0; i < 1000; ++i) notes.noteOn(i * 1920, 0, 60, 100).noteOff(i * 1920 + 10, 0, 60);
  notes.endOfTrack(1000 * 1920);
  song.write(dir.file("long.mid"));
  const Outcome result = run({"-q", dir.file("long.mid")});
  EXPECT_EQ(result.status, kExitOk);
  EXPECT_EQ(result.err.rfind("rendlow-cli: the chart \"" + dir.file("long_out.bme") +
                                 "\" was not written: The chart needs measure numbers up to 1000, 1 more",
                             0),
            0u)
      << result.err;
  EXPECT_TRUE(exists(dir.file("long_out.mid")));
  EXPECT_FALSE(exists(dir.file("long_out.bme")));
}

TEST(RowEdit, ReadsRowFieldAndValue) {
  RowEdit edit;
  EXPECT_EQ(parseRowEdit("3:ccInterval=120", edit), "");
  EXPECT_EQ(edit.row, 3);
  EXPECT_EQ(edit.number, 120);
  EXPECT_EQ(parseRowEdit("0:definitionName=a=b", edit), "");
  EXPECT_EQ(edit.text, "a=b");
  EXPECT_EQ(parseRowEdit("1:ignoreBpm=1", edit), "");
  EXPECT_EQ(edit.number, 1);
  const std::vector<std::pair<std::string, std::string>> mistakes = {
      {"gridUnit=480", "--set \"gridUnit=480\" is not ROW:FIELD=VALUE"},
      {"-1:gridUnit=480", "--set \"-1:gridUnit=480\": \"-1\" is not a row number"},
      {"0:grid=480", "--set \"0:grid=480\": no field \"grid\" (" + std::string(rowEditFieldNames()) + ")"},
      {"0:gridUnit=-5", "--set gridUnit: \"-5\" is not a number of 0 or more"},
      {"0:gridUnit=4x", "--set gridUnit: \"4x\" is not a number of 0 or more"},
      {"0:gridUnit=99999999999", "--set gridUnit: \"99999999999\" is not a number of 0 or more"},
      {"0:splitMethod=3", "--set splitMethod: \"3\" is not 0 (single), 1 (chord) or 2 (legato)"},
      {"0:enabled=yes", "--set enabled: \"yes\" is not 0 or 1"},
      {"0:definitionName=", "--set definitionName: the name is empty"},
  };
  for (const auto& [argument, error] : mistakes) EXPECT_EQ(parseRowEdit(argument, edit), error);
}

TEST(RowEdit, TheRecordChangesOneFieldAndKeepsTheRest) {
  TrackSettings row;
  row.definitionName = "piano";
  row.gridUnit = 480;
  row.ignoreBpm = true;
  row.enabled = false;
  RowEdit edit;
  ASSERT_EQ(parseRowEdit("0:velocitySplitWidth=16", edit), "");
  TrackSettings applied = row;
  applied.applyEdit(editRecord(edit, row));
  TrackSettings expected = row;
  expected.velocitySplitWidth = 16;
  EXPECT_EQ(applied, expected);
  ASSERT_EQ(parseRowEdit("0:ignoreBpm=0", edit), "");
  applied.applyEdit(editRecord(edit, applied));
  EXPECT_FALSE(applied.ignoreBpm);
  EXPECT_FALSE(applied.enabled);
}

}  // namespace
}  // namespace rendlow::cli
