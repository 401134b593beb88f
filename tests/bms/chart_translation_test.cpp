// A chart crossing formats: each playable lane, long notes and the author's own sounds come out
// of the other format where they went in; what that format cannot hold is counted.

#include <gtest/gtest.h>

#include "bms/chart_translation.h"

namespace rendlow {
namespace {

const MeasureGrid kGrid{{{0, 0, 1920}, {1, 1920, 1920}}};
const std::string kSoundNames[] = {"tr01"};

// A sound of the program's on a lane, its long note, and the author's own sound in the background.
std::string chartOnLane(int channel) {
  return "#WAV01 tr01_01.wav\n#WAVZZ own.wav\n#PLAYLEVEL 5\n#STAGEFILE s.bmp\n#00001:0001ZZ00\n#000" +
         std::to_string(channel) + ":01\n#000" + std::to_string(channel + 40) + ":0001\n#001" +
         std::to_string(channel + 40) + ":01\n#00004:01\n";
}

TEST(ChartTranslation, EachLaneCrossesBothWays) {
  const std::pair<int, int> lanes[] = {{11, 1}, {12, 2}, {13, 3}, {14, 4},  {15, 5},  {18, 6},  {19, 7},  {16, 8},
                                       {21, 9}, {22, 10}, {23, 11}, {24, 12}, {25, 13}, {28, 14}, {29, 15}, {26, 16}};
  for (const auto& [channel, x] : lanes) {
    const TranslatedChart bmson = bmsonFromBmsChart(chartOnLane(channel), kGrid, kSoundNames);
    const std::string lane = std::to_string(x);
    EXPECT_EQ(bmson.text, "{\"version\": \"1.0.0\", \"info\": {\"title\": \"\", \"artist\": \"\", \"genre\": \"\", "
                          "\"level\": 5}, \"sound_channels\": [{\"name\": \"tr01_01.wav\", \"notes\": [{\"x\": " +
                              lane + ", \"y\": 0, \"l\": 0, \"c\": false}, {\"x\": " + lane +
                              ", \"y\": 960, \"l\": 960, \"c\": false}]}, {\"name\": \"own.wav\", \"notes\": "
                              "[{\"x\": 0, \"y\": 960, \"l\": 0, \"c\": false}]}]}\n")
        << channel;
    EXPECT_EQ(bmson.notCarried, 2) << channel;  // the stage picture and the BGA line
    const TranslatedChart bms = bmsChartFromBmson(bmson.text, kGrid, kSoundNames);
    const std::string c = std::to_string(channel), l = std::to_string(channel + 40);
    EXPECT_EQ(bms.text, "#PLAYLEVEL 5\n#WAV01 tr01_01.wav\n#WAVZZ own.wav\n#000" + c + ":01\n#000" + l +
                            ":0001\n#00001:00ZZ\n#001" + l + ":01\n")
        << channel;
    EXPECT_EQ(bms.notCarried, 0) << channel;
  }
}

// What the other format has no place for: lanes it does not play, mines, a long note without its
// end, an object past the song, a BGA, fields of other programs, a note of no lane.
TEST(ChartTranslation, WhatHasNoPlaceIsCounted) {
  EXPECT_EQ(bmsonFromBmsChart("#WAV01 tr01_01.wav\n#00017:01\n#00031:01\n#000D1:01\n#00051:01\n#00511:01\n#RANK 3\n",
                              kGrid, kSoundNames)
                .notCarried,
            6);
  const TranslatedChart bms = bmsChartFromBmson(
      R"({"info": {"judge_rank": 50, "mode_hint": "beat-7k"}, "bga": {"bga_header": [{"id": 1}], "bga_events": []},
          "sound_channels": [{"name": "tr01_01.wav", "notes": [{"x": 17, "y": 0}, {"x": 1, "y": 3840},
          {"x": 1, "y": 0, "l": 3840}, {"x": 0, "y": 0}]}]})",
      kGrid, kSoundNames);
  EXPECT_EQ(bms.notCarried, 5);
  EXPECT_EQ(bms.text, "#WAV01 tr01_01.wav\n");
  EXPECT_EQ(bmsChartFromBmson("not json", kGrid, kSoundNames).text, "");
}

}  // namespace
}  // namespace rendlow
