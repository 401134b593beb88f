#include <gtest/gtest.h>

#include "audio/render_timing.h"
#include "audio/tempo_map.h"

namespace rendlow::audio {
namespace {

// 120 BPM before tick 0 and to tick 480, 60 BPM to 960, then 240 BPM: listed out of order, and
// of changes on one tick the last in the list wins.
TEST(TempoMap, TurnsTicksIntoSecondsPieceByPiece) {
  const TempoMap map(480, {{960, 250000}, {0, 1000000}, {480, 2000000}, {0, 500000}, {480, 1000000}});
  const std::vector<std::pair<int64_t, double>> times{{-480, -0.5}, {0, 0},     {240, 0.25}, {480, 0.5},
                                                      {720, 1.0},   {960, 1.5}, {1440, 1.75}};
  for (const auto& [tick, seconds] : times) EXPECT_DOUBLE_EQ(map.secondsAt(tick), seconds) << tick;
}

// A thousand changes of awkward tempos: the time after them stays within a nanosecond of the
// exact sum of microseconds.
TEST(TempoMap, StaysExactOverManyChanges) {
  std::vector<TempoChange> changes;
  int64_t ticksTimesMicroseconds = 0;
  int32_t tempo = 500000;
  for (int64_t tick = 457; tick <= 457000; tick += 457) {
    ticksTimesMicroseconds += 457 * tempo;
    tempo = static_cast<int32_t>(300001 + (tick / 457 * 7919) % 400000);
    changes.push_back({tick, tempo});
  }
  const double exact = (ticksTimesMicroseconds + 457 * tempo) / (1e6 * 479);
  EXPECT_NEAR(TempoMap(479, changes).secondsAt(457000 + 457), exact, 1e-9);
}

// The synthesizer starts an event at the first of its blocks at or after the event's time; a
// time that lies on a boundary but came out a hair after it stays there.
TEST(RenderTiming, AnEventStartsOnTheNextBlockBoundary) {
  EXPECT_EQ(blockBoundaryAtOrAfter(0, 64), 0);
  EXPECT_EQ(blockBoundaryAtOrAfter(0.001, 64), 64);
  EXPECT_EQ(blockBoundaryAtOrAfter(128 + 1e-9, 64), 128);
  // Tick 700 at 120 BPM, then 150 BPM from tick 480, is 0.68333 s: frame 30135.
  EXPECT_EQ(renderFrameOf(TempoMap(480, {{480, 400000}}), 700, 64), 30144);
}

}  // namespace
}  // namespace rendlow::audio
