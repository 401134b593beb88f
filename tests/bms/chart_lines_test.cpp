#include "bms/chart_lines.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "base/messages.h"

namespace rendlow {
namespace {

std::string lines(int32_t measure, int channel, const std::vector<LineObject>& objects) {
  std::string out;
  LineBudget budget;
  EXPECT_TRUE(appendChannelLines(out, measure, channel, objects, budget));
  EXPECT_EQ(budget.breach(), std::nullopt);
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

TEST(ChannelLines, ALineOfUpToTheBoundIsWrittenWhole) {
  // 128 x 81 x 25 = 259,200 slots, just within 2^18.
  std::string out;
  LineBudget budget;
  ASSERT_TRUE(
      appendChannelLines(out, 5, 1, std::vector<LineObject>{{1, 128, 1}, {1, 81, 2}, {1, 25, 3}}, budget));
  EXPECT_EQ(out.size(), 7 + 2 * 259200 + 1);
  EXPECT_EQ(out.substr(7 + 2 * 2025, 2), "01");  // 1/128 of 259,200
  EXPECT_EQ(out.substr(7 + 2 * 3200, 2), "02");
  EXPECT_EQ(out.substr(7 + 2 * 10368, 2), "03");
}

TEST(ChannelLines, ALineFinerThanTheBoundIsRefusedWithItsMeasureAndChannel) {
  // 191 x 181 x 179 x 173 x 167 would pass 2^31 - 1; 191 x 181 x 179 already passes the bound.
  std::string out = "before";
  LineBudget budget;
  const std::vector<LineObject> objects{{1, 191, 1}, {2, 181, 2}, {3, 179, 3}, {4, 173, 4}, {5, 167, 5}};
  EXPECT_FALSE(appendChannelLines(out, 9, 1, objects, budget));
  EXPECT_EQ(out, "before");
  EXPECT_EQ(budget.breach(), lineSlotsBreach(9, 1, kMaxLineSlots));
  // Once refused, the budget takes nothing more, not even an empty line.
  EXPECT_FALSE(appendChannelLines(out, 10, 1, {}, budget));
  EXPECT_EQ(out, "before");
}

TEST(ChannelLines, TheLinesOfAChartTogetherAreBounded) {
  // Lines of 128 x 81 x 25 slots, 518,408 bytes each: the 130th passes 64 MiB.
  const std::vector<LineObject> objects{{1, 128, 1}, {1, 81, 2}, {1, 25, 3}};
  LineBudget budget;
  int32_t measure = 0;
  for (std::string out; appendChannelLines(out, measure, 1, objects, budget); out.clear()) ++measure;
  EXPECT_EQ(measure, kMaxChartLineBytes / (8 + 2 * 259200));
  EXPECT_EQ(budget.breach(), chartSizeBreach(measure, 64));
}

}  // namespace
}  // namespace rendlow
