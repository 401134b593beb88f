#include "bms/chart_lines.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace rendlow {
namespace {

std::string lines(int32_t measure, int channel, const std::vector<LineObject>& objects) {
  std::string out;
  appendChannelLines(out, measure, channel, objects);
  return out;
}

// A line of `count` slots with the given ids at the given slots, "00" elsewhere.
std::string slotText(int count, const std::map<int, std::string>& filled) {
  std::string text;
  for (int i = 0; i < count; ++i) text += filled.count(i) ? filled.at(i) : "00";
  return text;
}

TEST(ToBase36, TwoUpperCaseDigitsUpToZZ) {
  EXPECT_EQ(toBase36(0), "00");
  EXPECT_EQ(toBase36(1), "01");
  EXPECT_EQ(toBase36(16), "0G");
  EXPECT_EQ(toBase36(35), "0Z");
  EXPECT_EQ(toBase36(36), "10");
  EXPECT_EQ(toBase36(1295), "ZZ");
  EXPECT_EQ(toBase36(1296), "100");
}

TEST(ChannelLines, SlotsAreTheLeastCommonMultipleOfTheResolutions) {
  // 1/4 and 1/3: twelve slots, the objects at slots 3 and 4.
  EXPECT_EQ(lines(0, 1, {{1, 4, 1}, {1, 3, 2}}), "#00001:000000010200000000000000\n");
  EXPECT_EQ(lines(7, 8, {{0, 1, 36}}), "#00708:10\n");
  EXPECT_EQ(lines(12, 1, {{1, 2, 10}}), "#01201:000A\n");
  EXPECT_EQ(lines(3, 1, {}), "#00301:00\n");
}

TEST(ChannelLines, LongLinesAreWrittenWhole) {
  // 1/128 and 1/3 need 384 slots: a line of 775 bytes, far past a 512-byte buffer.
  const std::string out = lines(1, 1, {{1, 128, 5}, {1, 3, 6}});
  EXPECT_EQ(out, "#00101:" + slotText(384, {{3, "05"}, {128, "06"}}) + "\n");
}

TEST(ChannelLines, TwoObjectsOnOneFractionGetALineEach) {
  EXPECT_EQ(lines(0, 1, {{0, 1, 1}, {0, 1, 2}}), "#00001:01\n#00001:02\n");
  EXPECT_EQ(lines(2, 1, {{1, 2, 1}, {2, 4, 2}}), "#00201:0001\n#00201:00000200\n");
}

TEST(ChannelLines, ALaterTickWithASmallerFractionStartsASecondLine) {
  // 1185 of 1920 ticks is exactly 79/128; 1189 rounds down to 118/192, which is smaller.
  const std::string out = lines(4, 1, {{79, 128, 1}, {118, 192, 2}});
  EXPECT_EQ(out, "#00401:" + slotText(128, {{79, "01"}}) + "\n#00401:" + slotText(192, {{118, "02"}}) + "\n");
}

TEST(ChannelLines, EachObjectJoinsTheFirstLineItCanFollow) {
  // 3/4 follows 1/2 on the first line although 1/4 started a second line in between; each line
  // counts only its own resolutions, and lines come in the order they were started.
  const std::string out = lines(0, 1, {{1, 2, 10}, {1, 4, 11}, {3, 4, 12}, {1, 3, 13}});
  EXPECT_EQ(out, "#00001:00000A0C\n#00001:" + slotText(12, {{3, "0B"}, {4, "0D"}}) + "\n");
}

TEST(ChannelLines, AnOverlongSlotCountFallsBackTo192Slots) {
  // 191 x 181 x 179 x 173 x 167 passes 2^31 - 1: each object goes to its 192nd, rounded down.
  const std::string out = lines(9, 1, {{1, 191, 1}, {2, 181, 2}, {3, 179, 3}, {4, 173, 4}, {5, 167, 5}});
  EXPECT_EQ(out, "#00901:" + slotText(192, {{1, "01"}, {2, "02"}, {3, "03"}, {4, "04"}, {5, "05"}}) + "\n");
}

TEST(ChannelLines, TwoObjectsInOne192ndOfAFallbackLineAreBothKept) {
  // 1/191 and 1/190 both round down to slot 1 of 192.
  const std::string out =
      lines(9, 1, {{1, 191, 1}, {1, 190, 2}, {2, 181, 3}, {3, 179, 4}, {4, 173, 5}, {5, 167, 6}});
  EXPECT_EQ(out, "#00901:" + slotText(192, {{1, "01"}, {2, "03"}, {3, "04"}, {4, "05"}, {5, "06"}}) +
                     "\n#00901:" + slotText(192, {{1, "02"}}) + "\n");
}

}  // namespace
}  // namespace rendlow
