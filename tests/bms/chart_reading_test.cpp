// A chart read back as a player reads it: its lines, then its background objects in time.

#include <gtest/gtest.h>

#include <tuple>

#include "bms/chart_format.h"
#include "bms/chart_timeline.h"
#include "support/midi_builder.h"

namespace rendlow {
namespace {

// The chart tells, in comments, when each object plays and why.
TEST(ChartTimeline, PlacesEveryBackgroundObjectAtItsTimeFrom130BpmWithoutOne) {
  const std::string chart = test::readText(RENDLOW_TEST_DATA_DIR "/bms/data/tempo_and_three_four.bme");
  const ChartTimeline timeline = timelineOf(parseChartText(chart));
  const std::vector<std::pair<double, int32_t>> expected{
      {0, 1}, {1, 2}, {2.75, 3}, {3, 4}, {3.5, 5}, {4, 5}, {4 + 1.0 / 3 + 2, 6}, {8 + 1.0 / 3 + 0.5, 1295}};
  ASSERT_EQ(timeline.objects.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_NEAR(timeline.objects[i].seconds, expected[i].first, 1e-12) << i;
    EXPECT_EQ(timeline.objects[i].wavId, expected[i].second) << i;
  }
  EXPECT_EQ(timeline.soundFiles,
            (std::map<int32_t, std::string>{
                {1, "tr01_01.wav"}, {2, "tr01_02.wav"}, {3, "tr02_01.wav"}, {1295, "last one.wav"}}));
  // A chart without #BPM plays at 130, as players have it.
  EXPECT_DOUBLE_EQ(timelineOf(parseChartText("#00101:01")).objects.at(0).seconds, 4 * 60.0 / 130);
}

// What the writer puts down, the reader takes up as the same ids, channels and file names.
TEST(ChartFormat, TheReaderReadsWhatTheWriterWrites) {
  for (const int32_t id : {1, 35, 36, kMaxChartId}) {
    EXPECT_EQ(base36Id(toBase36(id)), id);
    const std::string lines = wavDefinitionLine(id, "tr01_01.wav") + channelLineStart(7, kChannelBackground) +
                              "00" + toBase36(id) + "\n";
    const ChartText read = parseChartText(lines);
    EXPECT_EQ(read.wavById, (std::map<int32_t, std::string>{{id, "tr01_01.wav"}}));
    ASSERT_EQ(read.lines.size(), 1u);
    EXPECT_EQ(std::tie(read.lines[0].measure, read.lines[0].channel, read.lines[0].data),
              std::tuple(7, kChannelBackground, "00" + toBase36(id)));
  }
  EXPECT_EQ(base36Id("zz"), kMaxChartId);
  EXPECT_EQ(base36Id("0!"), -1);
}

}  // namespace
}  // namespace rendlow
