#include "audio/tempo_map.h"

#include <gtest/gtest.h>

namespace rendlow::audio {
namespace {

struct TickTime {
  int64_t tick;
  double seconds;
};

struct TempoCase {
  const char* name;
  int32_t division;
  std::vector<TempoChange> changes;
  std::vector<TickTime> times;
};

TEST(TempoMap, TurnsTicksIntoSecondsPieceByPiece) {
  const std::vector<TempoCase> cases{
      {"DefaultIs120Bpm", 480, {}, {{0, 0}, {480, 0.5}, {-480, -0.5}}},
      // 120 BPM to tick 480, 60 BPM to 960, then 240 BPM; listed out of order.
      {"ChangesSortedByTick",
       480,
       {{960, 250000}, {480, 1000000}},
       {{240, 0.25}, {480, 0.5}, {720, 1.0}, {960, 1.5}, {1440, 1.75}}},
      {"LastOfOneTickWins",
       96,
       {{0, 1000000}, {0, 250000}, {192, 500000}, {192, 2000000}},
       {{96, 0.25}, {288, 2.5}}},
  };
  for (const TempoCase& c : cases) {
    SCOPED_TRACE(c.name);
    const TempoMap map(c.division, c.changes);
    for (const TickTime& time : c.times)
      EXPECT_DOUBLE_EQ(map.secondsAt(time.tick), time.seconds) << time.tick;
  }
}

// A thousand changes of awkward tempos: the time at each change stays within a nanosecond of
// the exact sum of microseconds, however many pieces came before.
TEST(TempoMap, StaysExactOverManyChanges) {
  std::vector<TempoChange> changes;
  int64_t exactTicksTimesMicroseconds = 0;
  std::vector<TickTime> expected;
  int32_t previousTempo = 500000;
  for (int64_t i = 1; i <= 1000; ++i) {
    const int64_t tick = i * 457;
    exactTicksTimesMicroseconds += 457 * previousTempo;
    expected.push_back({tick, exactTicksTimesMicroseconds / (1e6 * 479)});
    previousTempo = static_cast<int32_t>(300001 + (i * 7919) % 400000);
    changes.push_back({tick, previousTempo});
  }
  const TempoMap map(479, changes);
  for (const TickTime& time : expected)
    EXPECT_NEAR(map.secondsAt(time.tick), time.seconds, 1e-9) << time.tick;
}

TEST(TempoMap, FrameIsTheNearestSample) {
  EXPECT_EQ(frameAt(1.0 / 3, 44100), 14700);
  EXPECT_EQ(frameAt(0.4999 / 44100, 44100), 0);
  EXPECT_EQ(frameAt(0.5 / 48000, 48000), 1);
  EXPECT_EQ(frameAt(2.0, 44100), 88200);
}

}  // namespace
}  // namespace rendlow::audio
