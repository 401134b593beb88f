// Texts taken from outside, integer helpers and printf-style formatting.

#include "base/text.h"

#include <gtest/gtest.h>

#include <climits>
#include <sstream>

#include "base/diagnostics.h"
#include "base/format.h"
#include "base/integer_math.h"

namespace rendlow {
namespace {

TEST(BoundedText, EndsAtTheFirstNulAndKeepsAt511Bytes) {
  using namespace std::string_literals;
  EXPECT_EQ(boundedText("Piano"), "Piano");
  EXPECT_EQ(boundedText("Pia\0no"s), "Pia");
  EXPECT_EQ(boundedText(std::string(511, 'n')), std::string(511, 'n'));
  EXPECT_EQ(boundedText(std::string(600, 'n')), std::string(511, 'n'));
  EXPECT_EQ(boundedText(std::string(600, 'n') + "\0x"s), std::string(511, 'n'));
  EXPECT_EQ(displayText(std::string(512, 'd')), std::string(511, 'd'));
  EXPECT_EQ(displayText("ab\0cd"s), "ab");
}

TEST(FindLastChar, FindsTheLastOccurrence) {
  EXPECT_EQ(findLastChar("a.b.mid", '.'), 3u);
  EXPECT_EQ(findLastChar("C:\\my.dir\\song", '\\'), 9u);
  EXPECT_EQ(findLastChar(".", '.'), 0u);
  EXPECT_EQ(findLastChar("song", '.'), std::string_view::npos);
  EXPECT_EQ(findLastChar("", '.'), std::string_view::npos);
}

TEST(IntegerMath, RoundUpToAndTheThirtyTwoBitBounds) {
  struct Case {
    int64_t value, unit, expected;
  };
  // Negative values round toward zero, which is up.
  for (const Case& c : {Case{0, 1920, 0}, {1, 1920, 1920}, {1920, 1920, 1920}, {1921, 1920, 3840},
                        {-1, 960, 0}, {-961, 960, -960}, {int64_t{INT32_MAX}, 2, int64_t{INT32_MAX} + 1}}) {
    EXPECT_EQ(roundUpTo(c.value, c.unit), c.expected) << c.value << " / " << c.unit;
  }
  EXPECT_TRUE(fitsInt32(INT32_MAX));
  EXPECT_FALSE(fitsInt32(int64_t{INT32_MAX} + 1));
  EXPECT_TRUE(fitsInt32(INT32_MIN));
  EXPECT_FALSE(fitsInt32(int64_t{INT32_MIN} - 1));
  EXPECT_EQ(clampToInt32(int64_t{1} << 40), INT32_MAX);
  EXPECT_EQ(clampToInt32(-(int64_t{1} << 40)), INT32_MIN);
  EXPECT_EQ(clampToInt32(-5), -5);
}

TEST(AppendFormatted, AppendsTextOfAnyLength) {
  std::string out = "head ";
  const std::string longText(5000, 'x');
  appendFormatted(out, "%d %s|", 42, longText.c_str());
  EXPECT_EQ(out, "head 42 " + longText + "|");
  appendFormatted(out, "%s", "");
  EXPECT_EQ(out.size(), 5 + 3 + 5000 + 1);
}

TEST(Diagnostics, PrintsOnlyWhenGivenAStream) {
  std::ostringstream lines;
  Diagnostics diagnostics(&lines);
  EXPECT_TRUE(diagnostics.enabled());
  diagnostics.print("Read Track %d...\n", 1);
  diagnostics.print("%02X ", 0x9A);
  EXPECT_EQ(lines.str(), "Read Track 1...\n9A ");
  diagnostics.setStream(nullptr);
  diagnostics.print("lost\n");
  EXPECT_FALSE(diagnostics.enabled());
  EXPECT_EQ(lines.str(), "Read Track 1...\n9A ");
}

}  // namespace
}  // namespace rendlow
