// The bar grid, the placement of a tick in its measure, and the channel lines of a chart.

#include <gtest/gtest.h>

#include <climits>

#include "base/messages.h"
#include "bms/chart_lines.h"
#include "bms/measure_grid.h"

namespace rendlow {
namespace {

using Grid = std::vector<std::pair<int32_t, int32_t>>;  // start, length of every measure

Song songOf(int32_t songEnd, int16_t division, std::vector<Beat> beats) {
  Song song;
  song.header.division = division;
  song.songEnd = songEnd;
  song.beats = std::move(beats);
  return song;
}

Grid gridOf(const Song& song) {
  Grid grid;
  for (const Measure& m : song.measures) {
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
      {3000, 480, {{0, 4, 0}}, {{0, 1920}, {1920, 1920}}},
      {3000, 480, {{4, 0, 0}, {-3, 4, 1920}}, {{0, 1920}, {1920, 1920}}},
      {40, 8, {{1, 64, 0}}, {{0, 32}, {32, 32}}},  // half a tick long: unusable
      {300, 100, {{1, 3, 0}}, {{0, 133}, {133, 133}, {266, 133}}},  // 1/3 of 400 ticks, truncated
      {0, 480, {{4, 4, 0}}, {}},
      // Read-order scan: the 3/4 read after the 2/4 only takes effect once the 2/4 is passed.
      {6000, 480, {{4, 4, 0}, {2, 4, 3840}, {3, 4, 1920}}, {{0, 1920}, {1920, 1920}, {3840, 1440}, {5280, 1440}}},
  };
  for (const Case& c : cases) {
    Song song = songOf(c.songEnd, c.division, c.beats);
    buildMeasures(song);
    EXPECT_EQ(gridOf(song), c.grid) << c.songEnd << " " << c.division;
  }
  Beat large{127, 1, 0};
  EXPECT_EQ(measureLength(&large, 32767), 16645636);
  Song huge = songOf(INT32_MAX, 1, {});
  buildMeasures(huge);
  EXPECT_EQ(huge.measures.size(), kMaxMeasures);
}

TEST(PlaceInMeasure, ExactWithTheSmallestResolutionElseDownToA192nd) {
  struct Case {
    Measure measure;
    int32_t tick;
    Placement placement;
  };
  const Measure bar{0, 0, 1920};
  const Case cases[] = {
      {bar, 0, {0, 1}},       {bar, 960, {1, 2}},      {bar, 480, {1, 4}},      {bar, 640, {1, 3}},
      {bar, 120, {1, 16}},    {bar, 1180, {59, 96}},   {bar, 1185, {79, 128}},  {bar, 1, {0, 192}},
      {bar, 822, {82, 192}},  {bar, 1189, {118, 192}}, {bar, 1919, {191, 192}}, {{3, 5000, 1440}, 5480, {1, 3}},
      {{3, 5000, 1440}, 6439, {191, 192}}, {{0, 0, 100}, 37, {37, 100}},
      {{0, INT32_MAX - 16645635, 16645636}, INT32_MAX, {191, 192}},
  };
  for (const Case& c : cases) {
    const Placement p = placeInMeasure(c.measure, c.tick);
    EXPECT_EQ(p, c.placement) << c.tick << " -> " << p.position << "/" << p.resolution;
  }
}

TEST(MeasureCursor, WalksForwardAndAppendsMeasuresPastTheGrid) {
  Song song = songOf(7680, 480, {{4, 4, 0}, {3, 4, 7680}});
  buildMeasures(song);
  ASSERT_EQ(song.measures.size(), 4u);
  MeasureCursor cursor(song);
  const std::pair<int32_t, int32_t> walk[] = {{0, 0}, {1919, 0}, {1920, 1}, {7679, 3}, {100, 3}, {7680, 4}, {9120, 5}};
  for (const auto& [tick, index] : walk) EXPECT_EQ(cursor.measureFor(tick)->index, index) << tick;
  EXPECT_EQ(gridOf(song).back(), (std::pair<int32_t, int32_t>{9120, 1440}));
  MeasureCursor other(song);  // another track's cursor finds the appended measures
  EXPECT_EQ(other.measureFor(8000)->index, 4);
  Song tiny = songOf(0, 1, {});
  MeasureCursor bounded(tiny);
  EXPECT_FALSE(bounded.measureFor(INT32_MAX));
  EXPECT_EQ(tiny.measures.size(), kMaxMeasures);
  EXPECT_EQ(bounded.measureFor(4 * 9999)->index, 9999);
}

TEST(ToBase36, AtLeastTwoUpperCaseDigits) {
  const std::pair<int32_t, const char*> cases[] = {{0, "00"}, {1, "01"}, {16, "0G"}, {35, "0Z"}, {36, "10"}, {1295, "ZZ"}, {1296, "100"}};
  for (const auto& [value, text] : cases) EXPECT_EQ(toBase36(value), text);
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
      {4, 1, {{79, 128, 1}, {118, 192, 2}}, "#00401:" + slots(128, {{79, "01"}}) + "\n#00401:" + slots(192, {{118, "02"}}) + "\n"},
      // 3/4 follows 1/2 on the first line although 1/4 started a second line in between.
      {0, 1, {{1, 2, 10}, {1, 4, 11}, {3, 4, 12}, {1, 3, 13}}, "#00001:00000A0C\n#00001:" + slots(12, {{3, "0B"}, {4, "0D"}}) + "\n"},
      {0, 1, {{0, -1, 5}, {1, 2, 6}}, "#00001:0006\n"},  // an object left unplaced has no slot
  };
  for (const Case& c : cases) {
    std::string out;
    LineBudget budget;
    EXPECT_TRUE(appendChannelLines(out, c.measure, c.channel, c.objects, budget));
    EXPECT_EQ(out, c.lines);
  }
}

TEST(ChannelLines, ALineOrAChartPastItsBoundIsRefusedWithItsMeasure) {
  // 128 x 81 x 25 = 259,200 slots: within 2^18, and written whole.
  const std::vector<LineObject> fine{{1, 128, 1}, {1, 81, 2}, {1, 25, 3}};
  std::string out;
  LineBudget budget;
  ASSERT_TRUE(appendChannelLines(out, 5, 1, fine, budget));
  EXPECT_EQ(out.size(), 7 + 2 * 259200 + 1);
  EXPECT_EQ(out.substr(7 + 2 * 2025, 2) + out.substr(7 + 2 * 3200, 2) + out.substr(7 + 2 * 10368, 2), "010203");
  // 191 x 181 x 179 passes the bound; the lcm of all five would pass 2^31 - 1.
  out = "before";
  const std::vector<LineObject> tooFine{{1, 191, 1}, {2, 181, 2}, {3, 179, 3}, {4, 173, 4}, {5, 167, 5}};
  EXPECT_FALSE(appendChannelLines(out, 9, 1, tooFine, budget));
  EXPECT_EQ(out, "before");
  EXPECT_EQ(budget.breach()->in(Audience::EnglishConsole), lineSlotsBreach(9, 1, kMaxLineSlots).in(Audience::EnglishConsole));
  EXPECT_FALSE(appendChannelLines(out, 10, 1, {}, budget));  // once refused, nothing more
  // Lines of 518,408 bytes: the 130th passes 64 MiB.
  LineBudget total;
  int32_t measure = 0;
  for (std::string line; appendChannelLines(line, measure, 1, fine, total); line.clear()) ++measure;
  EXPECT_EQ(measure, kMaxChartLineBytes / (8 + 2 * 259200));
  EXPECT_EQ(total.breach()->in(Audience::EnglishConsole), chartSizeBreach(measure, 64).in(Audience::EnglishConsole));
}

}  // namespace
}  // namespace rendlow
