// The chart of whole jobs: a MIDI file in, the chart out, read back the way a player reads it.
// Every chart here also goes to the interop test.

#include <gtest/gtest.h>

#include "app/application.h"
#include "support/chart_text.h"
#include "support/interop_export.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"
#include "support/whole_job.h"

namespace rendlow {
namespace {

using test::MidiBuilder;
using test::RowEdit;

RowEdit splitMethodOf(int row, SplitMethod method) {
  return {row, [method](TrackSettings& s) { s.splitMethod = static_cast<int32_t>(method); }};
}

RowEdit definitionNameOf(int row, const std::string& name) {
  return {row, [name](TrackSettings& s) { s.definitionName = name; }};
}

// A conductor track with a 120 BPM tempo and 4/4 at tick 0, ending at `end`.
MidiBuilder songWithConductor(int32_t end) {
  MidiBuilder song;
  song.track().name("Conductor").tempo(0, 500000).timeSignature(0, 4, 2).endOfTrack(end);
  return song;
}

class ChartJob : public ::testing::Test {
protected:
  // Runs "Midi&&BMS出力" on the song and returns the chart, after checking that the chart holds
  // exactly the objects the chart building placed.
  std::string chartOf(const MidiBuilder& song, const std::vector<RowEdit>& edits = {}) {
    const std::string input = dir.file("song.mid");
    song.write(input);
    const test::JobSetup setup{
        edits, {{control::kGenre, "Test"}, {control::kTitle, "Song"}, {control::kArtist, "Rendlow"}}};
    const OutputResult result = test::runWholeJob(app, form, input, dir.file("song_out.mid"), setup);
    EXPECT_TRUE(result.ok());
    EXPECT_TRUE(result.chart && result.chart->status.ok);
    const std::string chart = test::readTextFile(dir.file("song_out.bme"));
    test::exportChartForInterop(app.project, input, dir.file("song_out.bme"));
    EXPECT_EQ(test::channelObjects(chart), test::placedNotes(app.project)) << chart;
    return chart;
  }

  const BMSTrack& chartTrack(std::size_t i) const { return *app.project.chartTracks.at(i); }

  Application app;
  test::TestForm form;
  test::TempDir dir;
};

TEST_F(ChartJob, TwoTracksTakeTheirIdRangesWithTheGapBetween) {
  MidiBuilder song = songWithConductor(3840);
  auto& keys = song.track().name("Keys");
  for (int i = 0; i < 5; ++i) keys.noteOn(i * 480, 0, 60 + 2 * i, 100).noteOff(i * 480 + 240, 0, 60 + 2 * i);
  keys.endOfTrack(3840);
  song.track()
      .name("Bass")
      .noteOn(0, 1, 36, 100)
      .noteOff(480, 1, 36)
      .noteOn(960, 1, 38, 100)
      .noteOff(1440, 1, 38)
      .noteOn(1920, 1, 36, 100)
      .noteOff(2400, 1, 36)
      .endOfTrack(3840);
  const std::string chart = chartOf(song, {definitionNameOf(0, "keys"), definitionNameOf(1, "bass")});
  EXPECT_EQ(
      chart,
      "#PLAYER 1\n#GENRE Test\n#TITLE Song\n#ARTIST Rendlow\n#BPM 120.000000\n#PLAYLEVEL 1\n#RANK 100\n"
      "#TOTAL 100\n\n\n\n"
      "#WAV01 keys_01.wav\n#WAV02 keys_02.wav\n#WAV03 keys_03.wav\n#WAV04 keys_04.wav\n#WAV05 keys_05.wav\n"
      "#WAV08 bass_01.wav\n#WAV09 bass_02.wav\n\n\n"
      "#00001:01020304\n#00001:0809\n\n"
      "#00101:05\n#00101:08\n\n"
      "#00201:00\n#00201:00\n\n");
  EXPECT_EQ(app.nextWavId, 12);
}

TEST_F(ChartJob, AChordIsOneObjectUnlessTheTrackIsSingle) {
  MidiBuilder song = songWithConductor(1920);
  auto& piano = song.track().name("Piano");
  for (int note : {60, 64, 67}) piano.noteOn(480, 0, note, 100);
  for (int note : {60, 64, 67}) piano.noteOff(960, 0, note);
  piano.endOfTrack(1920);
  EXPECT_EQ(test::channelObjects(chartOf(song)).size(), 1u);
  const std::string single = chartOf(song, {splitMethodOf(0, SplitMethod::Single)});
  EXPECT_NE(single.find("#00001:00010000\n#00001:00020000\n#00001:00030000\n"), std::string::npos) << single;
}

// The chart keeps every object: each case below loses objects on plain single lines.

TEST_F(ChartJob, ATrackBeginningWithAStrayNoteOffKeepsItsNotes) {
  MidiBuilder song = songWithConductor(1920);
  song.track()
      .name("Bass")
      .noteOff(0, 0, 40)
      .noteOn(480, 0, 45, 100)
      .noteOff(720, 0, 45)
      .noteOn(960, 0, 47, 100)
      .noteOff(1200, 0, 47)
      .endOfTrack(1920);
  const std::string chart = chartOf(song);
  ASSERT_EQ(app.project.tracks[1]->maxPolyphony, 0);
  EXPECT_NE(chart.find("#00001:00010200\n"), std::string::npos) << chart;
}

TEST_F(ChartJob, ASingleTrackKeepsANoteWithANegativeVoice) {
  MidiBuilder song = songWithConductor(3840);
  auto& piano = song.track().name("Piano").noteOff(0, 0, 40).noteOn(480, 0, 60, 100).noteOff(600, 0, 60);
  for (int note : {60, 64, 67}) piano.noteOn(1920, 0, note, 100);
  for (int note : {60, 64, 67}) piano.noteOff(2400, 0, note);
  piano.endOfTrack(3840);
  const std::string chart = chartOf(song, {splitMethodOf(0, SplitMethod::Single)});
  ASSERT_EQ(chartTrack(1).notes.at(0)->voice, -1);
  ASSERT_EQ(app.project.tracks[1]->maxPolyphony, 2);
  EXPECT_NE(chart.find("#00001:00010000\n#00001:00\n\n"), std::string::npos) << chart;
  EXPECT_EQ(test::channelObjects(chart).size(), 4u);
}

TEST_F(ChartJob, TwoChainsStartingOnOneTickAreBothKept) {
  // A note of no length and another note on the same tick: two chains, under Legato and Single.
  MidiBuilder song = songWithConductor(1920);
  song.track()
      .name("Lead")
      .noteOn(480, 0, 60, 100)
      .noteOff(480, 0, 60)
      .noteOn(480, 0, 62, 100)
      .noteOff(720, 0, 62)
      .endOfTrack(1920);
  for (SplitMethod method : {SplitMethod::Legato, SplitMethod::Single}) {
    const std::string chart = chartOf(song, {splitMethodOf(0, method)});
    EXPECT_NE(chart.find("#00001:00010000\n#00001:00020000\n"), std::string::npos) << chart;
  }
}

TEST_F(ChartJob, ALaterTickPlacedAtASmallerFractionIsKept) {
  // 1185 ticks into the measure is 79/128; 1189 falls back to 118/192, which comes earlier.
  MidiBuilder song = songWithConductor(3840);
  song.track()
      .name("Hats")
      .noteOn(1920 + 1185, 9, 42, 100)
      .noteOff(1920 + 1187, 9, 42)
      .noteOn(1920 + 1189, 9, 46, 100)
      .noteOff(1920 + 1191, 9, 46)
      .endOfTrack(3840);
  const std::string chart = chartOf(song);
  const auto objects = test::channelObjects(chart);
  ASSERT_EQ(objects.size(), 2u);
  EXPECT_EQ(objects[0], (test::ChartObject{1, 59, 96, "02"}));
  EXPECT_EQ(objects[1], (test::ChartObject{1, 79, 128, "01"}));
  // In the order they were placed, each on a line whose slots run forward.
  const std::string first = "#00101:" + std::string(79 * 2, '0') + "01" + std::string((128 - 80) * 2, '0');
  const std::string second = "#00101:" + std::string(118 * 2, '0') + "02" + std::string((192 - 119) * 2, '0');
  EXPECT_NE(chart.find("\n" + first + "\n" + second + "\n\n"), std::string::npos) << chart;
}

TEST_F(ChartJob, TempoChangesFromTwoTracksAreAllWritten) {
  MidiBuilder song;
  song.track()
      .name("Conductor")
      .tempo(0, 500000)
      .timeSignature(0, 4, 2)
      .tempoBpm(7680, 90.0)
      .endOfTrack(9600);
  auto& piano = song.track().name("Piano");
  for (int tick = 0; tick < 9600; tick += 960) {
    if (tick == 3840) piano.tempoBpm(3840, 150.0);
    piano.noteOn(tick, 0, 60, 100).noteOff(tick + 240, 0, 60);
  }
  piano.endOfTrack(9600);
  const std::string chart = chartOf(song);
  EXPECT_NE(chart.find("\n#BPM01 90.000000\n#BPM02 150.000000\n\n"), std::string::npos) << chart;
  const auto tempos = test::channelObjects(chart, "08");
  ASSERT_EQ(tempos.size(), 2u);
  EXPECT_EQ(tempos[0], (test::ChartObject{2, 0, 1, "02"}));
  EXPECT_EQ(tempos[1], (test::ChartObject{4, 0, 1, "01"}));
}

TEST_F(ChartJob, AThreeFourSectionGetsItsMeasureLengthLines) {
  MidiBuilder song;
  song.track()
      .name("Conductor")
      .tempo(0, 500000)
      .timeSignature(0, 4, 2)
      .timeSignature(9600, 3, 2)
      .endOfTrack(12480);
  auto& piano = song.track().name("Piano");
  for (int tick = 0; tick < 12480; tick += 480) piano.noteOn(tick, 0, 60, 100).noteOff(tick + 240, 0, 60);
  piano.endOfTrack(12480);
  const std::string chart = chartOf(song);
  EXPECT_NE(chart.find("\n#00502: 0.750000\n#00501:010101\n\n#00602: 0.750000\n#00601:010101\n\n"),
            std::string::npos)
      << chart;
}

}  // namespace
}  // namespace rendlow
