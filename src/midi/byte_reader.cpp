#include "midi/byte_reader.h"

#include <algorithm>

namespace rendlow {

namespace {

// Four 7-bit groups give at most 0x0FFFFFFF, so the value always fits a signed 32-bit number.
constexpr int kMaxVarLenBytes = 4;

}  // namespace

std::optional<uint8_t> ByteReader::readByte() {
  if (atEnd()) return std::nullopt;
  return bytes_[position_++];
}

void ByteReader::stepBack() {
  if (position_ > 0) --position_;
}

std::span<const uint8_t> ByteReader::readUpTo(std::size_t count) {
  const std::size_t taken = std::min(count, remaining());
  const auto result = bytes_.subspan(position_, taken);
  position_ += taken;
  return result;
}

uint32_t ByteReader::readBigEndian(int count) {
  uint32_t value = 0;
  for (int i = 0; i < count; ++i) value = (value << 8) | readByte().value_or(0);
  return value;
}

VarLen ByteReader::readVarLen() {
  VarLen result;
  if (atEnd()) return result;
  uint32_t value = 0;
  for (int used = 1; const auto byte = readByte(); ++used) {
    value = (value << 7) | (*byte & 0x7Fu);
    if ((*byte & 0x80) == 0) break;
    if (used == kMaxVarLenBytes) {
      result.tooLong = true;
      break;
    }
  }
  result.value = static_cast<int32_t>(value);
  return result;
}

}  // namespace rendlow
