#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace rendlow {

// A variable-length quantity as read from a MIDI file.
struct VarLen {
  int32_t value = -1;    // -1 when the file had already ended before the first byte
  bool tooLong = false;  // a fourth byte still had bit 7 set: the number is malformed
};

// A read cursor over a MIDI file held in memory. Every read is checked against the bytes left,
// so a damaged file can never make the reader look past its end; reads that find too few bytes
// return what is there.
class ByteReader {
public:
  explicit ByteReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  bool atEnd() const { return position_ >= bytes_.size(); }
  std::size_t remaining() const { return bytes_.size() - position_; }
  std::size_t position() const { return position_; }

  std::optional<uint8_t> readByte();
  // Un-reads the byte just read, so that it is read again (a data byte under running status).
  void stepBack();
  // The next `count` bytes, or fewer when the file ends first.
  std::span<const uint8_t> readUpTo(std::size_t count);
  // A big-endian number of `count` bytes (at most 4); bytes missing at the end count as 0.
  uint32_t readBigEndian(int count);
  // Reads 7-bit groups, first most significant, until a byte with bit 7 clear or the end of the
  // file. Valid files never use more than four bytes; a fourth byte that still has bit 7 set is
  // reported as tooLong and nothing after it is read.
  VarLen readVarLen();

private:
  std::span<const uint8_t> bytes_;
  std::size_t position_ = 0;
};

}  // namespace rendlow
