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
#include "support/case_table.h"
#include "support/converted_song.h"

namespace rendlow {
namespace {

const std::string kData = RENDLOW_TEST_DATA_DIR "/bms/data/";

using Grid = std::vector<std::pair<int32_t, int32_t>>;  // start, length of every measure

Song songOf(int32_t songEnd, int16_t division, std::vector<TimeSignature> beats) {
  Song song;
  song.header.division = division;
  song.songEnd = songEnd;
  song.timeSignatures = std::move(beats);
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

std::vector<TimeSignature> beatsOf(const std::string& column) {
  const std::vector<int64_t> n = test::numbersOf(column);
  std::vector<TimeSignature> beats;
  for (std::size_t i = 0; i + 2 < n.size(); i += 3)
    beats.push_back(
        {static_cast<int32_t>(n[i]), static_cast<int32_t>(n[i + 1]), static_cast<int32_t>(n[i + 2])});
  return beats;
}

TEST(BuildMeasures, EachMeasureTakesTheTimeSignatureInEffectAtItsStart) {
  for (const test::CaseLine& c : test::readCaseTable("bms/data/measures.txt")) {
    SCOPED_TRACE(c.where);
    const std::vector<int64_t> song = test::numbersOf(c.columns.at(0));
    const MeasureGrid grid = buildMeasureGrid(songOf(song.at(0), song.at(1), beatsOf(c.columns.at(1))));
    std::vector<int64_t> measures;
    for (const auto& [start, length] : gridOf(grid)) measures.insert(measures.end(), {start, length});
    EXPECT_EQ(measures, test::numbersOf(c.columns.at(2)));
  }
}

TEST(PlaceInMeasure, ExactUpTo3840SlotsElseDownToA3840th) {
  for (const test::CaseLine& c : test::readCaseTable("bms/data/placements.txt")) {
    SCOPED_TRACE(c.where);
    const std::vector<int64_t> m = test::numbersOf(c.columns.at(0)), tick = test::numbersOf(c.columns.at(1));
    const Measure measure{static_cast<int32_t>(m.at(0)), static_cast<int32_t>(m.at(1)),
                          static_cast<int32_t>(m.at(2))};
    const Placement p = placeInMeasure(measure, static_cast<int32_t>(tick.at(0)));
    EXPECT_EQ(std::vector<int64_t>({p.position, p.resolution}), test::numbersOf(c.columns.at(2)));
  }
}

TEST(MeasureGrid, ReachesPastTheLastObjectWithTheSignatureInEffect) {
  const Song song = songOf(7680, 480, {{4, 4, 0}, {3, 4, 7680}});
  EXPECT_EQ(buildMeasureGrid(song).measures.size(), 4u);
  const MeasureGrid grid = buildMeasureGrid(song, 9120);
  EXPECT_EQ(gridOf(grid).back(), (std::pair<int32_t, int32_t>{9120, 1440}));
  MeasureCursor cursor(grid);
  const std::pair<int32_t, int32_t> walk[] = {{0, 0},   {1919, 0}, {1920, 1}, {7679, 3},
                                              {100, 3}, {7680, 4}, {9120, 5}};
  for (const auto& [tick, index] : walk) EXPECT_EQ(cursor.measureFor(tick)->index, index) << tick;
  EXPECT_FALSE(cursor.measureFor(10560));
  const Song tiny = songOf(0, 1, {});
  EXPECT_TRUE(buildMeasureGrid(tiny).measures.empty());
  const MeasureGrid longest = buildMeasureGrid(tiny, INT32_MAX);
  EXPECT_EQ(longest.measures.size(), kMaxMeasures);
  EXPECT_FALSE(MeasureCursor(longest).measureFor(INT32_MAX));
}

TEST(ChannelLines, EveryObjectKeepsItsSlot) {
  for (const test::CaseLine& c : test::readCaseTable("bms/data/channel_lines.txt")) {
    SCOPED_TRACE(c.where);
    const std::vector<int64_t> line = test::numbersOf(c.columns.at(0)),
                               given = test::numbersOf(c.columns.at(1));
    std::vector<LineObject> objects;
    for (std::size_t i = 0; i + 2 < given.size(); i += 3)
      objects.push_back({static_cast<int32_t>(given[i]), static_cast<int32_t>(given[i + 1]),
                         static_cast<int32_t>(given[i + 2])});
    std::string out;
    LineBudget budget;
    const int32_t measure = static_cast<int32_t>(line.at(0));
    EXPECT_TRUE(appendChannelLines(out, measure, static_cast<int>(line.at(1)), objects, budget).ok());
    EXPECT_EQ(out, c.expected);
  }
}

TEST(ChannelLines, ALineOrAChartPastItsBoundIsRefusedWithItsMeasure) {
  // 128 x 81 x 25 = 259,200 slots fit 2^18; 191 x 181 x 179 do not, and all five pass 2^31 - 1.
  std::string out;
  LineBudget budget;
  ASSERT_TRUE(
      appendChannelLines(out, 5, 1, std::vector<LineObject>{{1, 128, 1}, {1, 81, 2}, {1, 25, 3}}, budget)
          .ok());
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
  for (; (measure + 1) * widest <= kMaxChartLineBytes; ++measure)
    ASSERT_TRUE(budget.take(measure, 1, kMaxLineSlots).ok());
  const Result<void> refused = budget.take(measure, 1, kMaxLineSlots);
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.problem().message.in(Audience::EnglishConsole),
            chartSizeBreach(measure, kMaxChartLineBytes >> 20).in(Audience::EnglishConsole));
}

// Each track takes the ids from the counter up to its largest definition, then leaves its gap
// free; a negative gap counts as none, so the next track's ids never overlap. A track without a
// sound takes nothing. In the keys, the last 60 stands too close to the one before it: a second
// definition (id 4) of the first sound.
TEST(ChartBuilding, EachTrackTakesItsIdRangeAndLeavesItsGap) {
  for (const auto& [gap, secondFirst] : {std::pair{2, 7}, {5, 10}, {0, 5}, {-3, 5}}) {
    TrackSettings keySettings;
    keySettings.multipleThreshold = 15, keySettings.wavDefinitionGap = gap;
    test::ConvertedSong c(test::readBytes(kData + "keys_and_bass.mid"), {{}, keySettings, {}});
    const std::vector<std::size_t> tracks{0, 1, 2};
    const MeasureGrid grid = buildMeasureGrid(c.song, lastObjectTick(c.song, tracks, c.sliced));
    const Chart chart = buildChart(c.song, tracks, c.sliced, c.settings, grid);
    ASSERT_EQ(chart.tracks.size(), 3u);
    EXPECT_TRUE(chart.tracks[0].notes.empty());
    const ChartTrack& keysChart = chart.tracks[1];
    EXPECT_EQ(keysChart.firstWav, 1);
    EXPECT_EQ(keysChart.maxDefinition, 3);
    std::vector<std::pair<int32_t, int32_t>> objects;  // wav, file number
    for (const ChartNote& n : keysChart.notes) objects.emplace_back(n.wav, n.fileNumber);
    EXPECT_EQ(objects, (std::vector<std::pair<int32_t, int32_t>>{{1, 1}, {2, 2}, {3, 3}, {1, 1}, {4, 1}}));
    EXPECT_EQ(chart.tracks[2].firstWav, secondFirst) << "gap " << gap;
    ASSERT_EQ(chart.tempos.size(), 2u);
    const ChartTempo& later = chart.tempos[1];
    EXPECT_EQ(std::tuple(later.tempoIndex, later.bpm, later.tick, later.measureIndex, later.position,
                         later.resolution),
              std::tuple(1, c.song.tempos[1].bpm, 2400, 1, 1, 4));
  }
}

// The ids are a function of each track's definitions alone: the numbers stay in int32 however far
// they pass what a chart can hold.
TEST(ChartBuilding, FirstIdsFollowFromTheDefinitionsAndGaps) {
  const TrackDefinitions silent{false, 0, 9}, small{true, 3, 2}, huge{true, INT32_MAX - 2, 0};
  const std::vector<TrackDefinitions> tracks{silent, small, silent, huge, small};
  EXPECT_EQ(assignFirstWavIds(tracks), (std::vector<int32_t>{1, 1, 7, 7, INT32_MAX}));
  EXPECT_TRUE(assignFirstWavIds({}).empty());
}

// A chart placed by hand, of one track whose lanes hold the given objects.
struct HandChart {
  HandChart() {
    song.header.division = 480;
    song.tempos.push_back({.bpm = 120.0f});
    chart.tracks.push_back({.track = 0,
                            .firstWav = 1,
                            .notes = {},
                            .definitionName = "piano",
                            .maxPolyphony = 3,
                            .splitMethod = 1});
  }
  ChartTrack& track() { return chart.tracks.back(); }
  void note(int32_t wav, int32_t measure, int32_t position, int32_t resolution, int32_t voice = 0,
            int32_t file = 0) {
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
  EXPECT_EQ(c.blocks(),
            "#00001:0100\n#00001:00\n#00001:0002\n\n#00101:00\n#00101:03\n#00101:00\n\n"
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
  c.chart.tempos = {
      {{0, 0, 0, 1}, 123.456f, 0}, {{3840, 2, 0, 1}, 90.0f, 2}, {{2880, 1, 1, 2}, 128.125f, 16}};
  c.note(1, 3, 0, 1);
  test::expectGolden(c.text(), kData + "hand_tempos.bme");
}

TEST(BmsWriter, MeasureLengthLinesFollowTheGrid) {
  for (const test::CaseLine& k : test::readCaseTable("bms/data/measure_lengths.txt")) {
    SCOPED_TRACE(k.where);
    HandChart c;
    c.song.header.division = static_cast<int16_t>(test::numbersOf(k.columns.at(0)).at(0));
    c.song.timeSignatures = beatsOf(k.columns.at(1));
    c.song.songEnd = static_cast<int32_t>(test::numbersOf(k.columns.at(2)).at(0));
    c.grid = buildMeasureGrid(c.song);
    c.note(1, static_cast<int32_t>(c.grid.measures.size()) - 1, 0, 1);
    std::string lines;
    const std::string blocks = c.blocks();
    for (std::size_t at = blocks.find("02:"); at != std::string::npos; at = blocks.find("02:", at + 1))
      lines += blocks.substr(at - 4, blocks.find('\n', at) + 1 - (at - 4));
    EXPECT_EQ(lines, k.expected);
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
  EXPECT_EQ(
      breach.problem().message.in(Audience::EnglishConsole),
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
