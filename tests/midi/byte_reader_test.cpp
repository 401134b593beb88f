// Reading bytes of a file in memory: variable-length numbers and reads cut short by the end.

#include "midi/byte_reader.h"

#include <gtest/gtest.h>

#include <vector>

namespace rendlow {
namespace {

VarLen varLenOf(std::vector<uint8_t> bytes, std::size_t* left = nullptr) {
  ByteReader reader(bytes);
  const VarLen value = reader.readVarLen();
  if (left) *left = reader.remaining();
  return value;
}

TEST(ReadVarLen, DecodesOneToFourBytes) {
  EXPECT_EQ(varLenOf({0x00}).value, 0);
  EXPECT_EQ(varLenOf({0x7F}).value, 127);
  EXPECT_EQ(varLenOf({0x81, 0x00}).value, 128);
  EXPECT_EQ(varLenOf({0x87, 0x40}).value, 960);
  EXPECT_EQ(varLenOf({0x81, 0x80, 0x00}).value, 16384);
  const VarLen largest = varLenOf({0xFF, 0xFF, 0xFF, 0x7F});
  EXPECT_EQ(largest.value, 0x0FFFFFFF);
  EXPECT_FALSE(largest.tooLong);
}

TEST(ReadVarLen, StopsAfterTheLastByte) {
  std::size_t left = 0;
  EXPECT_EQ(varLenOf({0x81, 0x00, 0x90}, &left).value, 128);
  EXPECT_EQ(left, 1u);
}

TEST(ReadVarLen, FourthByteWithBit7IsTooLongAndNothingMoreIsRead) {
  std::size_t left = 0;
  const VarLen value = varLenOf({0x81, 0x80, 0x80, 0x80, 0x00}, &left);
  EXPECT_TRUE(value.tooLong);
  EXPECT_EQ(left, 1u);
}

TEST(ReadVarLen, AtTheEndGivesMinusOneAndCutShortGivesWhatWasRead) {
  EXPECT_EQ(varLenOf({}).value, -1);
  std::size_t left = 5;
  const VarLen cut = varLenOf({0x81, 0x82}, &left);
  EXPECT_EQ(cut.value, (1 << 7) | 2);
  EXPECT_FALSE(cut.tooLong);
  EXPECT_EQ(left, 0u);
}

TEST(ByteReader, ReadsNeverPassTheEnd) {
  const std::vector<uint8_t> bytes{0x01, 0x02, 0x03};
  ByteReader reader(bytes);
  EXPECT_EQ(reader.readBigEndian(2), 0x0102u);
  EXPECT_EQ(reader.readBigEndian(4), 0x03000000u);  // missing bytes count as 0
  EXPECT_TRUE(reader.atEnd());
  EXPECT_FALSE(reader.readByte());
  reader.stepBack();
  EXPECT_EQ(reader.readByte(), 0x03);

  ByteReader again(bytes);
  EXPECT_EQ(again.readUpTo(2).size(), 2u);
  const auto rest = again.readUpTo(100);
  ASSERT_EQ(rest.size(), 1u);
  EXPECT_EQ(rest[0], 0x03);
  EXPECT_EQ(again.readUpTo(1).size(), 0u);
}

}  // namespace
}  // namespace rendlow
