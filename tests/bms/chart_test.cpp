// The chart: objects built from converted tracks, the format's limits, and the text written.

#include <gtest/gtest.h>

#include "base/messages.h"
#include "bms/bms_writer.h"
#include "bms/chart_building.h"
#include "bms/chart_limits.h"
#include "bms/measure_grid.h"
#include "midi/midi_reader.h"
#include "slicer/note_extraction.h"
#include "slicer/render_layout.h"
#include "support/midi_builder.h"

namespace rendlow {
namespace {

using test::MidiBuilder;
using test::TrackBuilder;

// A song read and converted track by track, ready for the chart building.
struct Converted {
  Converted(const MidiBuilder& b, std::vector<TrackSettings> trackSettings) : settings(std::move(trackSettings)) {
    RunningStatus running;
    Diagnostics quiet;
    song = readMidiBytes(b.bytes(), running, quiet).value();
    buildMeasures(song);
    for (std::size_t i = 0; i < song.tracks.size(); ++i) {
      sliced.push_back(extractNotes(song.tracks[i], settings.at(i), song.tempos, quiet));
      EXPECT_TRUE(buildRenderLayout(song.tracks[i], static_cast<int32_t>(i), sliced[i], settings[i], song.tempos));
    }
  }
  BMSTrack build(std::size_t track) { return buildChartTrack(song, track, sliced[track], settings[track], bpms, nextWavId); }

  Song song;
  std::vector<TrackSettings> settings;
  std::vector<SlicedTrack> sliced;
  std::vector<BMSBPM> bpms;
  int32_t nextWavId = 1;
};

TrackSettings settingsWith(int32_t threshold, int32_t gap) {
  TrackSettings s;
  s.multipleThreshold = threshold;
  s.wavDefinitionGap = gap;
  return s;
}

// Each track takes the ids from the counter up to its largest definition, then leaves its gap
// free; a negative gap counts as none, so the next track's ids never overlap.
TEST(ChartBuilding, EachTrackTakesItsIdRangeAndLeavesItsGap) {
  for (const auto& [gap, secondFirst] : {std::pair{2, 7}, {5, 10}, {0, 5}, {-3, 5}}) {
    MidiBuilder b;
    b.track().tempo(0, 500000).tempoBpm(2400, 150.5).endOfTrack(2400);
    // 60, 62, 64, 60 again far from the first, and 60 once more too close to the last: a second
    // definition (id 4) of the first sound (file 1).
    TrackBuilder& keys = b.track();
    for (const auto& [tick, pitch] : {std::pair{0, 60}, {480, 62}, {960, 64}, {1440, 60}, {1450, 60}})
      keys.noteOn(tick, 0, pitch, 100).noteOff(tick + 5, 0, pitch);
    keys.endOfTrack(1455);
    b.track().noteOn(0, 0, 40, 100).noteOff(100, 0, 40).endOfTrack(100);
    Converted c(b, {{}, settingsWith(15, gap), {}});
    const BMSTrack conductor = c.build(0);
    EXPECT_TRUE(conductor.notes.empty());
    EXPECT_EQ(c.nextWavId, 1);
    const BMSTrack keysChart = c.build(1);
    EXPECT_EQ(keysChart.firstWav, 1);
    EXPECT_EQ(keysChart.maxDefinition, 3);
    std::vector<std::pair<int32_t, int32_t>> objects;  // wav, file number
    for (const BMSNote& n : keysChart.notes) objects.emplace_back(n.wav, n.fileNumber);
    EXPECT_EQ(objects, (std::vector<std::pair<int32_t, int32_t>>{{1, 1}, {2, 2}, {3, 3}, {1, 1}, {4, 1}}));
    EXPECT_EQ(c.build(2).firstWav, secondFirst) << "gap " << gap;
    EXPECT_EQ(c.nextWavId, secondFirst + 3);
    ASSERT_EQ(c.bpms.size(), 2u);
    const BMSBPM& later = c.bpms[1];
    EXPECT_EQ(std::tuple(later.tempoIndex, later.bpm, later.tick, later.measureIndex, later.position, later.resolution),
              std::tuple(1, c.song.tempos[1].bpm, 2400, 1, 1, 4));
  }
}

TEST(ChartBuilding, AChainIsOneObjectAtItsHeadAndNoObjectIsLostPastTheGrid) {
  MidiBuilder b;
  TrackBuilder& piano = b.track().tempo(0, 500000);
  for (const int note : {60, 64, 67}) piano.noteOn(480, 0, note, 100);
  for (const int note : {60, 64, 67}) piano.noteOff(960, 0, note);
  // The song ends on a bar line, where the last note stands: it gets a measure of its own.
  piano.noteOn(1440, 1, 62, 100).noteOff(1500, 1, 62).noteOn(3840, 0, 65, 100).noteOff(3840, 0, 65).endOfTrack(3840);
  Converted c(b, {{}});
  ASSERT_EQ(c.song.measures.size(), 2u);
  const BMSTrack chart = c.build(0);
  ASSERT_EQ(chart.notes.size(), 3u);
  EXPECT_EQ(std::tuple(chart.notes[0].tick, chart.notes[0].measureIndex, chart.notes[0].position, chart.notes[0].resolution),
            std::tuple(480, 0, 1, 4));
  EXPECT_EQ(chart.notes[1].wav, 2);
  EXPECT_EQ(std::tuple(chart.notes[2].measureIndex, chart.notes[2].position), std::tuple(2, 0));
  EXPECT_EQ(c.song.measures.size(), 3u);
}

// A chart placed by hand, of one track whose lanes hold the given objects.
struct HandChart {
  HandChart() {
    song.header.division = 480;
    song.tempos.push_back({.bpm = 120.0f});
    chart.chartTracks.push_back({.track = 0, .firstWav = 1, .definitionName = "piano", .maxPolyphony = 3, .splitMethod = 1});
  }
  BMSTrack& track() { return chart.chartTracks.back(); }
  void note(int32_t wav, int32_t measure, int32_t position, int32_t resolution, int32_t voice = 0, int32_t file = 0) {
    BMSNote n;
    n.measureIndex = measure;
    n.position = position;
    n.resolution = resolution;
    n.wav = wav;
    n.fileNumber = file ? file : wav;
    n.voice = voice;
    track().notes.push_back(n);
    track().maxDefinition = std::max(track().maxDefinition, wav - track().firstWav);
  }
  std::string text() { return formatBmsChart(song, chart, {}).value(); }
  // The measure blocks after the definitions.
  std::string blocks() {
    const std::string all = text();
    return all.substr(all.find("\n\n\n#000") + 3);
  }

  Song song;
  Chart chart;
};

TEST(BmsWriter, WritesTheWholeChartOfAChordTrack) {
  HandChart c;
  c.note(1, 0, 0, 1);
  c.note(3, 1, 1, 2, 0, 7);
  c.note(3, 1, 3, 4, 0, 5);  // an id names the file of its last object; an id no object uses, -1
  EXPECT_EQ(c.text(), "#PLAYER 1\n#GENRE TEMP\n#TITLE TEMP\n#ARTIST TEMP\n#BPM 120.000000\n#PLAYLEVEL 1\n#RANK 100\n"
                      "#TOTAL 100\n\n\n\n#WAV01 piano_01.wav\n#WAV02 piano_-1.wav\n#WAV03 piano_05.wav\n\n\n"
                      "#00001:01\n\n#00101:00000303\n\n#00201:00\n\n");
}

// Under Single every lane has its line; a voice below 0 (after stray note-offs) or past the lanes
// goes to the nearest lane, and a track whose polyphony stayed at 0 still has one.
TEST(BmsWriter, SingleTracksWriteALinePerLaneAndKeepEveryObject) {
  HandChart c;
  c.track().splitMethod = 0;
  c.note(1, 0, 0, 2, -1);
  c.note(2, 0, 1, 2, 5);
  c.note(3, 1, 0, 1, 1);
  EXPECT_EQ(c.blocks(), "#00001:0100\n#00001:00\n#00001:0002\n\n#00101:00\n#00101:03\n#00101:00\n\n"
                        "#00201:00\n#00201:00\n#00201:00\n\n");
  c.track().maxPolyphony = 0;
  EXPECT_EQ(c.blocks(), "#00001:0102\n\n#00101:03\n\n#00201:00\n\n");
}

// The first tempo is the header's; each later one gets a definition by its index and an object
// on the tempo channel, in time order whichever track placed it.
TEST(BmsWriter, TempoDefinitionsAndTheTempoChannel) {
  HandChart c;
  c.song.tempos = {{.bpm = 123.456f, .index = 0}, {.bpm = 128.125f, .index = 1}, {.bpm = 90.0f, .index = 2}};
  for (int i = 3; i <= 16; ++i) c.song.tempos.push_back({.bpm = 100.0f + static_cast<float>(i), .index = i});
  c.chart.chartBpms = {{{0, 0, 0, 1}, 123.456f, 0}, {{3840, 2, 0, 1}, 90.0f, 2}, {{2880, 1, 1, 2}, 128.125f, 16}};
  c.note(1, 3, 0, 1);
  const std::string text = c.text();
  EXPECT_NE(text.find("#BPM 123.459999\n"), std::string::npos);
  EXPECT_NE(text.find("#TOTAL 100\n\n\n#BPM01 128.130005\n#BPM02 90.000000\n#BPM03 103.000000\n"), std::string::npos);
  EXPECT_NE(text.find("#BPM0G 116.000000\n\n#WAV01"), std::string::npos);
  EXPECT_EQ(c.blocks(), "#00001:00\n\n#00108:000G\n#00101:00\n\n#00208:02\n#00201:00\n\n#00301:01\n\n#00401:00\n\n");
}

// The measure-length line says what the grid holds; past the grid (the closing block) it follows
// the time signature at tick 0.
TEST(BmsWriter, MeasureLengthLinesFollowTheGrid) {
  struct Case {
    int16_t division;
    std::vector<Beat> beats;
    int32_t songEnd;
    std::string lines;
  };
  const Case cases[] = {
      {480, {{4, 4, 0}, {3, 4, 9600}}, 9600 + 2 * 1440, "#00502: 0.750000\n#00602: 0.750000\n"},
      {480, {{3, 4, 960}}, 2880, "#00002: 0.750000\n#00102: 0.750000\n"},  // no line past the grid: 4/4 at tick 0
      {480, {{2, 2, 0}, {0, 4, 1920}}, 3840, ""},
      {480, {{3, 4, 0}}, 1440, "#00002: 0.750000\n#00102: 0.750000\n"},
      {480, {{4, 4, 0}, {3, 4, 1920}}, 3360, "#00102: 0.750000\n"},
      // 7/8 of 1916 ticks truncates to 1676 in the grid; past it the plain ratio stands.
      {479, {{7, 8, 0}}, 1676, "#00002: 0.874739\n#00102: 0.875000\n"},
  };
  for (const Case& k : cases) {
    HandChart c;
    c.song.header.division = k.division;
    c.song.beats = k.beats;
    c.song.songEnd = k.songEnd;
    buildMeasures(c.song);
    c.note(1, static_cast<int32_t>(c.song.measures.size()) - 1, 0, 1);
    std::string lines;
    const std::string blocks = c.blocks();
    for (std::size_t at = blocks.find("02: "); at != std::string::npos; at = blocks.find("02: ", at + 1))
      lines += blocks.substr(at - 4, blocks.find('\n', at) + 1 - (at - 4));
    EXPECT_EQ(lines, k.lines) << k.songEnd;
  }
}

// Ids up to ZZ and measures up to 999 fit; past them the chart is refused with every breach.
TEST(ChartLimits, TheLargestIdAndTheLastMeasureFitAndOneMoreIsRefused) {
  HandChart c;
  c.track().firstWav = 1290;
  c.note(1295, 998, 0, 1);  // the closing block is measure 999
  EXPECT_FALSE(chartLimitBreach(c.song, c.chart));
  c.note(1296, 999, 0, 1);
  c.song.tempos.resize(1300);
  const auto breach = chartLimitBreach(c.song, c.chart);
  ASSERT_TRUE(breach);
  EXPECT_EQ(breach->in(Audience::EnglishConsole),
            linesOf(linesOf(wavIdBreach(1296, 1295), bpmIdBreach(1299, 1295)), measureBreach(1000, 999, false)).in(Audience::EnglishConsole));
  EXPECT_FALSE(formatBmsChart(c.song, c.chart, {}));
  c.track().notes = {c.track().notes[0]};
  c.track().maxDefinition = 5;
  c.track().notes[0].position = -1;  // beyond the longest grid: the measure count is a lower bound
  c.track().notes[0].measureIndex = 10000;
  c.song.tempos.resize(1);
  EXPECT_EQ(chartLimitBreach(c.song, c.chart)->in(Audience::EnglishConsole), measureBreach(10001, 999, true).in(Audience::EnglishConsole));
}

}  // namespace
}  // namespace rendlow
