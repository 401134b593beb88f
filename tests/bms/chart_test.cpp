// The chart: the bar grid, the placement of a tick in its measure, the channel lines, objects
// built from converted tracks, the format's limits, and the text written.

#include <gtest/gtest.h>

#include <climits>

#include "base/messages.h"
#include "bms/bms_writer.h"
#include "bms/chart_building.h"
#include "bms/chart_limits.h"
#include "bms/chart_lines.h"
#include "bms/measure_grid.h"
#include "support/converted_song.h"

namespace rendlow {
namespace {

const std::string kData = RENDLOW_TEST_DATA_DIR "/bms/data/";

using Grid = std::vector<std::pair<int32_t, int32_t>>;  // start, length of every measure

Song songOf(int32_t songEnd, int16_t division, std::vector<Beat> beats) {
  Song song;
  song.header.division = division;
  song.songEnd = songEnd;
  song.beats = std::move(beats);
  return song;
}

Grid gridOf(const MeasureGrid& measures) {
  Grid grid;
  for (const Measure& m : measures.measures) {
    EXPECT_EQ(m.index, static_cast<int32_t>(grid.size()));
    grid.emplace_back(m.startTick, m.length);
  }
  return grid;
}

TEST(BuildMeasures, EachMeasureTakesTheTimeSignatureInEffectAtItsStart) {
  struct Case {
    int32_t songEnd;
    int16_t division;
    std::vector<Beat> beats;  // numerator, denominator, tick
    Grid grid;
  };
  const Case cases[] = {
      {7680, 480, {{4, 4, 0}}, {{0, 1920}, {1920, 1920}, {3840, 1920}, {5760, 1920}}},
      {4000, 480, {{4, 4, 0}, {3, 4, 1920}}, {{0, 1920}, {1920, 1440}, {3360, 1440}}},
      {4000, 480, {{4, 4, 0}, {6, 8, 960}}, {{0, 1920}, {1920, 1440}, {3360, 1440}}},
      {1000, 96, {}, {{0, 384}, {384, 384}, {768, 384}}},
      {3000, 480, {{4, 0, 0}, {-3, 4, 1920}}, {{0, 1920}, {1920, 1920}}},
      {40, 8, {{1, 64, 0}}, {{0, 32}, {32, 32}}},  // half a tick long: unusable
      {300, 100, {{1, 3, 0}}, {{0, 133}, {133, 133}, {266, 133}}},  // 1/3 of 400 ticks, truncated
      {0, 480, {{4, 4, 0}}, {}},
      // Read-order scan: the 3/4 read after the 2/4 only takes effect once the 2/4 is passed.
      {6000, 480, {{4, 4, 0}, {2, 4, 3840}, {3, 4, 1920}}, {{0, 1920}, {1920, 1920}, {3840, 1440}, {5280, 1440}}},
  };
  for (const Case& c : cases) {
    const Song song = songOf(c.songEnd, c.division, c.beats);
    EXPECT_EQ(gridOf(buildMeasureGrid(song)), c.grid) << c.songEnd << " " << c.division;
  }
}

TEST(PlaceInMeasure, ExactUpTo3840SlotsElseDownToA3840th) {
  struct Case {
    Measure measure;
    int32_t tick;
    Placement placement;
  };
  const Measure bar{0, 0, 1920};
  const Measure longBar{2, 3840, 5760};  // 6/4 at 960 ticks per quarter
  const Case cases[] = {
      {bar, 0, {0, 1}},        {bar, 960, {1, 2}},       {bar, 480, {1, 4}},        {bar, 640, {1, 3}},
      {bar, 120, {1, 16}},     {bar, 1180, {59, 96}},    {bar, 1185, {79, 128}},    {bar, 1, {1, 1920}},
      {bar, 822, {137, 320}},  {bar, 1189, {1189, 1920}}, {bar, 1919, {1919, 1920}},
      {{3, 5000, 1440}, 5480, {1, 3}}, {{3, 5000, 1440}, 6439, {1439, 1440}}, {{0, 0, 100}, 37, {37, 100}},
      {{0, 0, 3840}, 1, {1, 3840}},
      // Past 3840 slots a tick goes to the 3840th of the measure at or before it.
      {longBar, 3843, {1, 1920}},  {longBar, 3841, {0, 3840}}, {longBar, 3847, {4, 3840}},
      {longBar, 9599, {3839, 3840}},
      {{0, INT32_MAX - 16645635, 16645636}, INT32_MAX, {3839, 3840}},
  };
  for (const Case& c : cases) {
    const Placement p = placeInMeasure(c.measure, c.tick);
    EXPECT_EQ(p, c.placement) << c.tick << " -> " << p.position << "/" << p.resolution;
  }
}

TEST(MeasureCursor, WalksForwardAndAppendsMeasuresPastTheGrid) {
  const Song song = songOf(7680, 480, {{4, 4, 0}, {3, 4, 7680}});
  MeasureGrid grid = buildMeasureGrid(song);
  ASSERT_EQ(grid.measures.size(), 4u);
  MeasureCursor cursor(grid, song);
  const std::pair<int32_t, int32_t> walk[] = {{0, 0}, {1919, 0}, {1920, 1}, {7679, 3}, {100, 3}, {7680, 4}, {9120, 5}};
  for (const auto& [tick, index] : walk) EXPECT_EQ(cursor.measureFor(tick)->index, index) << tick;
  EXPECT_EQ(gridOf(grid).back(), (std::pair<int32_t, int32_t>{9120, 1440}));
  MeasureCursor other(grid, song);  // another track's cursor finds the appended measures
  EXPECT_EQ(other.measureFor(8000)->index, 4);
  const Song tiny = songOf(0, 1, {});
  MeasureGrid tinyGrid;
  EXPECT_FALSE(MeasureCursor(tinyGrid, tiny).measureFor(INT32_MAX));
  EXPECT_EQ(tinyGrid.measures.size(), kMaxMeasures);
}

std::string slots(int count, std::initializer_list<std::pair<int, const char*>> filled) {
  std::string text(2 * static_cast<std::size_t>(count), '0');
  for (const auto& [slot, id] : filled) text.replace(2 * static_cast<std::size_t>(slot), 2, id);
  return text;
}

// Every object gets a slot: on the first line whose last object lies strictly before it, each
// line with the least common multiple of its resolutions as slots.
TEST(ChannelLines, EveryObjectKeepsItsSlot) {
  struct Case {
    int32_t measure;
    int channel;
    std::vector<LineObject> objects;  // position, resolution, id
    std::string lines;
  };
  const Case cases[] = {
      {3, 1, {}, "#00301:00\n"},
      {7, 8, {{0, 1, 36}}, "#00708:10\n"},
      {0, 1, {{1, 4, 1}, {1, 3, 2}}, "#00001:" + slots(12, {{3, "01"}, {4, "02"}}) + "\n"},
      {1, 1, {{1, 128, 5}, {1, 3, 6}}, "#00101:" + slots(384, {{3, "05"}, {128, "06"}}) + "\n"},
      {0, 1, {{0, 1, 1}, {0, 1, 2}}, "#00001:01\n#00001:02\n"},
      {2, 1, {{1, 2, 1}, {2, 4, 2}}, "#00201:0001\n#00201:00000200\n"},
      // 1185 of 1920 ticks is 79/128; 1189 rounds down to 118/192, which lies before it.
      {4,
       1,
       {{79, 128, 1}, {118, 192, 2}},
       "#00401:" + slots(128, {{79, "01"}}) + "\n#00401:" + slots(192, {{118, "02"}}) + "\n"},
      // 3/4 follows 1/2 on the first line although 1/4 started a second line in between.
      {0,
       1,
       {{1, 2, 10}, {1, 4, 11}, {3, 4, 12}, {1, 3, 13}},
       "#00001:00000A0C\n#00001:" + slots(12, {{3, "0B"}, {4, "0D"}}) + "\n"},
      {0, 1, {{0, -1, 5}, {1, 2, 6}}, "#00001:0006\n"},  // an object left unplaced has no slot
  };
  for (const Case& c : cases) {
    std::string out;
    LineBudget budget;
    EXPECT_TRUE(appendChannelLines(out, c.measure, c.channel, c.objects, budget).ok());
    EXPECT_EQ(out, c.lines);
  }
}

TEST(ChannelLines, ALineOrAChartPastItsBoundIsRefusedWithItsMeasure) {
  // 128 x 81 x 25 = 259,200 slots fit 2^18; 191 x 181 x 179 do not, and all five pass 2^31 - 1.
  std::string out;
  LineBudget budget;
  ASSERT_TRUE(appendChannelLines(out, 5, 1, std::vector<LineObject>{{1, 128, 1}, {1, 81, 2}, {1, 25, 3}}, budget).ok());
  EXPECT_EQ(out.size(), 7 + 2 * 259200 + 1);
  out = "before";
  const std::vector<LineObject> tooFine{{1, 191, 1}, {2, 181, 2}, {3, 179, 3}, {4, 173, 4}, {5, 167, 5}};
  const Result<void> refused = appendChannelLines(out, 9, 1, tooFine, budget);
  ASSERT_FALSE(refused);
  EXPECT_EQ(out, "before");
  EXPECT_EQ(refused.problem().message.in(Audience::EnglishConsole),
            lineSlotsBreach(9, 1, kMaxLineSlots).in(Audience::EnglishConsole));
}

TEST(ChannelLines, TheBudgetRefusesTheLineThatWouldTakeTheChartPastItsSize) {
  LineBudget budget;
  const int64_t widest = 8 + 2 * kMaxLineSlots;
  int32_t measure = 0;
  for (; (measure + 1) * widest <= kMaxChartLineBytes; ++measure) ASSERT_TRUE(budget.take(measure, 1, kMaxLineSlots).ok());
  const Result<void> refused = budget.take(measure, 1, kMaxLineSlots);
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.problem().message.in(Audience::EnglishConsole),
            chartSizeBreach(measure, kMaxChartLineBytes >> 20).in(Audience::EnglishConsole));
}

using test::MidiBuilder;
using test::TrackBuilder;

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
    TrackSettings keySettings;
    keySettings.multipleThreshold = 15, keySettings.wavDefinitionGap = gap;
    test::ConvertedSong c(b.bytes(), {{}, keySettings, {}});
    MeasureGrid grid = buildMeasureGrid(c.song);
    std::vector<BMSBPM> bpms;
    int32_t nextWavId = 1;
    const auto build = [&](std::size_t t) {
      return buildChartTrack(c.song, t, c.sliced[t], c.settings[t], grid, bpms, nextWavId);
    };
    EXPECT_TRUE(build(0).notes.empty());
    EXPECT_EQ(nextWavId, 1);
    const BMSTrack keysChart = build(1);
    EXPECT_EQ(keysChart.firstWav, 1);
    EXPECT_EQ(keysChart.maxDefinition, 3);
    std::vector<std::pair<int32_t, int32_t>> objects;  // wav, file number
    for (const BMSNote& n : keysChart.notes) objects.emplace_back(n.wav, n.fileNumber);
    EXPECT_EQ(objects, (std::vector<std::pair<int32_t, int32_t>>{{1, 1}, {2, 2}, {3, 3}, {1, 1}, {4, 1}}));
    EXPECT_EQ(build(2).firstWav, secondFirst) << "gap " << gap;
    EXPECT_EQ(nextWavId, secondFirst + 3);
    ASSERT_EQ(bpms.size(), 2u);
    const BMSBPM& later = bpms[1];
    EXPECT_EQ(std::tuple(later.tempoIndex, later.bpm, later.tick, later.measureIndex, later.position, later.resolution),
              std::tuple(1, c.song.tempos[1].bpm, 2400, 1, 1, 4));
  }
}

// A chart placed by hand, of one track whose lanes hold the given objects.
struct HandChart {
  HandChart() {
    song.header.division = 480;
    song.tempos.push_back({.bpm = 120.0f});
    chart.chartTracks.push_back(
        {.track = 0, .firstWav = 1, .notes = {}, .definitionName = "piano", .maxPolyphony = 3, .splitMethod = 1});
  }
  BMSTrack& track() { return chart.chartTracks.back(); }
  void note(int32_t wav, int32_t measure, int32_t position, int32_t resolution, int32_t voice = 0, int32_t file = 0) {
    track().notes.push_back({{0, measure, position, resolution}, wav, file ? file : wav, voice});
    track().maxDefinition = std::max(track().maxDefinition, wav - track().firstWav);
  }
  std::string text() { return formatBmsChart(song, grid, chart, {}).value(); }
  // The measure blocks after the definitions.
  std::string blocks() {
    const std::string all = text();
    return all.substr(all.find("\n\n\n#000") + 3);
  }

  Song song;
  MeasureGrid grid;
  Chart chart;
};

TEST(BmsWriter, WritesTheWholeChartOfAChordTrack) {
  HandChart c;
  c.note(1, 0, 0, 1);
  c.note(3, 1, 1, 2, 0, 7);
  c.note(3, 1, 3, 4, 0, 5);  // an id names the file of its last object; an id no object uses, -1
  test::expectGolden(c.text(), kData + "hand_chord_track.bme");
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
// on the tempo channel, in time order whichever track placed it. Each is written as exactly as its
// Set Tempo event sets it, not as the single-precision tempo the slicer compares.
TEST(BmsWriter, TempoDefinitionsAndTheTempoChannel) {
  HandChart c;
  c.song.tempos = {{.bpm = 123.456f, .microseconds = 486000, .index = 0},
                   {.bpm = 128.125f, .microseconds = 468292, .index = 1},
                   {.bpm = 90.0f, .microseconds = 666667, .index = 2}};
  for (int i = 3; i <= 16; ++i)
    c.song.tempos.push_back({.bpm = 100.0f, .microseconds = 600000 - i * 1000, .index = i});
  c.chart.chartBpms = {{{0, 0, 0, 1}, 123.456f, 0}, {{3840, 2, 0, 1}, 90.0f, 2}, {{2880, 1, 1, 2}, 128.125f, 16}};
  c.note(1, 3, 0, 1);
  test::expectGolden(c.text(), kData + "hand_tempos.bme");
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
      {480, {{4, 4, 0}, {3, 4, 9600}}, 9600 + 2 * 1440, "#00502:0.750000\n#00602:0.750000\n"},
      {480, {{3, 4, 960}}, 2880, "#00002:0.750000\n#00102:0.750000\n"},  // no line past the grid: 4/4 at tick 0
      {480, {{2, 2, 0}, {0, 4, 1920}}, 3840, ""},
      {480, {{3, 4, 0}}, 1440, "#00002:0.750000\n#00102:0.750000\n"},
      // 7/8 of 1916 ticks truncates to 1676 in the grid; past it the plain ratio stands.
      {479, {{7, 8, 0}}, 1676, "#00002:0.874739\n#00102:0.875000\n"},
  };
  for (const Case& k : cases) {
    HandChart c;
    c.song.header.division = k.division;
    c.song.beats = k.beats;
    c.song.songEnd = k.songEnd;
    c.grid = buildMeasureGrid(c.song);
    c.note(1, static_cast<int32_t>(c.grid.measures.size()) - 1, 0, 1);
    std::string lines;
    const std::string blocks = c.blocks();
    for (std::size_t at = blocks.find("02:"); at != std::string::npos; at = blocks.find("02:", at + 1))
      lines += blocks.substr(at - 4, blocks.find('\n', at) + 1 - (at - 4));
    EXPECT_EQ(lines, k.lines) << k.songEnd;
  }
}

// Ids up to ZZ and measures up to 999 fit; past them the chart is refused with every breach.
TEST(ChartLimits, TheLargestIdAndTheLastMeasureFitAndOneMoreIsRefused) {
  HandChart c;
  c.track().firstWav = 1290;
  c.note(1295, 998, 0, 1);  // the closing block is measure 999
  EXPECT_TRUE(checkChartLimits(c.song, c.chart).ok());
  c.note(1296, 999, 0, 1);
  c.song.tempos.resize(1300);
  const Result<void> breach = checkChartLimits(c.song, c.chart);
  ASSERT_FALSE(breach);
  EXPECT_EQ(breach.problem().message.in(Audience::EnglishConsole),
            linesOf(linesOf(wavIdBreach(1296, 1295), bpmIdBreach(1299, 1295)), measureBreach(1000, 999, false))
                .in(Audience::EnglishConsole));
  EXPECT_FALSE(formatBmsChart(c.song, c.grid, c.chart, {}));
  c.track().notes = {c.track().notes[0]};
  c.track().maxDefinition = 5;
  c.track().notes[0].position = -1;  // beyond the longest grid: the measure count is a lower bound
  c.track().notes[0].measureIndex = 10000;
  c.song.tempos.resize(1);
  EXPECT_EQ(checkChartLimits(c.song, c.chart).problem().message.in(Audience::EnglishConsole),
            measureBreach(10001, 999, true).in(Audience::EnglishConsole));
}

}  // namespace
}  // namespace rendlow
