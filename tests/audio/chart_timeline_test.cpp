#include "audio/chart_timeline.h"

#include <gtest/gtest.h>

#include "wav_bytes.h"

namespace rendlow::audio {
namespace {

// The chart (CR LF lines): 120 BPM; measure 1 of 3/4, measure 2 of 2/4; channel 08 to 180 BPM
// halfway through measure 2 (lower-case id); channel 03 to 60 BPM at measure 3; at measure 4
// channel 03 says 120 and channel 08 says 240 at one spot, and 08 wins.
//   beat 0 (measure 0)       0 s           id 01
//   beat 2                   1 s           id 02
//   beat 5.5 (measure 1)     2 + 1.5/2     id 03
//   beat 6 (second layer)    2 + 2/2       id 04
//   beat 7 (measure 2)       3.5           id 05
//   beat 8, tempo to 180     4.0           id 05 again
//   beat 9 (measure 3) at 60 4 + 1/3
//   beat 11                  4 + 1/3 + 2   id 06 (no #WAV line)
//   beat 13 (measure 4) 240  4 + 1/3 + 4
//   beat 15                  8 + 1/3 + 2/4    id ZZ
TEST(ChartTimeline, PlacesEveryBackgroundObjectAtItsTime) {
  Result<ChartTimeline> timeline = readChartTimeline(test::dataFile("tempo_and_three_four.bme"));
  ASSERT_TRUE(timeline);
  const std::vector<std::pair<double, int32_t>> expected{
      {0, 1}, {1, 2}, {2.75, 3}, {3, 4}, {3.5, 5}, {4, 5}, {4 + 1.0 / 3 + 2, 6}, {8 + 1.0 / 3 + 0.5, 1295}};
  ASSERT_EQ(timeline->objects.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_NEAR(timeline->objects[i].seconds, expected[i].first, 1e-12) << i;
    EXPECT_EQ(timeline->objects[i].wavId, expected[i].second) << i;
  }
  const std::map<int32_t, std::string> files{
      {1, "tr01_01.wav"}, {2, "tr01_02.wav"}, {3, "tr02_01.wav"}, {1295, "last one.wav"}};
  EXPECT_EQ(timeline->soundFiles, files);
}

TEST(ChartTimeline, AChartThatCannotBeReadNamesTheFile) {
  Result<ChartTimeline> timeline = readChartTimeline(test::dataFile("absent.bme"));
  ASSERT_FALSE(timeline);
  EXPECT_NE(timeline.problem().message.in(Audience::EnglishConsole).find("Could not read the chart\nFile: "),
            std::string::npos);
}

// Lines a player would skip are skipped: nothing of them lands in the timeline.
TEST(ChartTimeline, SkipsLinesItCannotRead) {
  const ChartTimeline timeline = timelineOf(parseChartText(
      "#BPM 0\n#BPM01\n#WAV1 x.wav\n#WAV02\n#0A001:01\n#00101 01\n#00201:0!0001\n#00302:-1\n#00301:01\n"
      "#00308:01\n#00303:0G\n"));
  EXPECT_TRUE(timeline.soundFiles.empty());
  // 130 BPM by default; measure 2 holds one object at its third slot, measure 3 one at its start.
  ASSERT_EQ(timeline.objects.size(), 2u);
  EXPECT_NEAR(timeline.objects[0].seconds, (8 + 4.0 * 2 / 3) * 60 / 130, 1e-12);
  EXPECT_NEAR(timeline.objects[1].seconds, 12 * 60.0 / 130, 1e-12);
}

}  // namespace
}  // namespace rendlow::audio
