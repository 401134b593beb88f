// Texts taken from outside, integer helpers and printf-style formatting.

#include "base/text.h"

#include <gtest/gtest.h>

#include <climits>

#include "base/format.h"
#include "base/integer_math.h"

namespace rendlow {
namespace {

using namespace std::string_literals;

TEST(Text, EndsAtTheFirstNulAndKeeps511Bytes) {
  EXPECT_EQ(boundedText("Pia\0no"s), "Pia");
  EXPECT_EQ(boundedText(std::string(511, 'n')), std::string(511, 'n'));
  EXPECT_EQ(boundedText(std::string(600, 'n') + "\0x"s), std::string(511, 'n'));
  EXPECT_EQ(displayText(std::string(512, 'd')), std::string(511, 'd'));
  EXPECT_EQ(displayText("ab\0cd"s), "ab");
  EXPECT_EQ(findLastChar("a.b.mid", '.'), 3u);
  EXPECT_EQ(findLastChar(".", '.'), 0u);
  EXPECT_EQ(findLastChar("song", '.'), std::string_view::npos);
}

TEST(IntegerMath, RoundUpToAndTheThirtyTwoBitBounds) {
  // Negative values round toward zero, which is up.
  const std::array<int64_t, 3> cases[] = {{0, 1920, 0},     {1, 1920, 1920}, {1920, 1920, 1920},
                                          {1921, 1920, 3840}, {-1, 960, 0},  {-961, 960, -960}};
  for (const auto& [value, unit, expected] : cases) EXPECT_EQ(roundUpTo(value, unit), expected) << value;
  EXPECT_TRUE(fitsInt32(INT32_MAX) && fitsInt32(INT32_MIN));
  EXPECT_FALSE(fitsInt32(int64_t{INT32_MAX} + 1) || fitsInt32(int64_t{INT32_MIN} - 1));
  EXPECT_EQ(clampToInt32(int64_t{1} << 40), INT32_MAX);
  EXPECT_EQ(clampToInt32(-(int64_t{1} << 40)), INT32_MIN);
}

TEST(AppendFormatted, AppendsTextOfAnyLength) {
  std::string out = "head ";
  const std::string longText(5000, 'x');
  appendFormatted(out, "%d %s|", 42, longText.c_str());
  EXPECT_EQ(out, "head 42 " + longText + "|");
}

}  // namespace
}  // namespace rendlow
