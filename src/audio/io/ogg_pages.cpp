#include "audio/io/ogg_pages.h"

#include <array>

namespace rendlow::audio {

namespace {

constexpr std::size_t kHeaderSize = 27;
constexpr std::size_t kSerialOffset = 14;
constexpr std::size_t kChecksumOffset = 22;
constexpr std::size_t kSegmentCountOffset = 26;

// The Ogg page checksum: CRC-32 with polynomial 0x04C11DB7, not reflected, starting from 0.
const std::array<uint32_t, 256>& checksumTable() {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> entries{};
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t value = i << 24;
      for (int bit = 0; bit < 8; ++bit) value = (value << 1) ^ ((value & 0x80000000u) ? 0x04C11DB7u : 0);
      entries[i] = value;
    }
    return entries;
  }();
  return table;
}

uint32_t pageChecksum(const std::string& bytes, std::size_t start, std::size_t size) {
  const std::array<uint32_t, 256>& table = checksumTable();
  uint32_t crc = 0;
  for (std::size_t i = start; i < start + size; ++i) {
    crc = (crc << 8) ^ table[((crc >> 24) ^ static_cast<unsigned char>(bytes[i])) & 0xFF];
  }
  return crc;
}

void putLittleEndian32(std::string& bytes, std::size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// The size of the page at `start`, or 0 when no whole page is there.
std::size_t pageSize(const std::string& bytes, std::size_t start) {
  if (bytes.size() - start < kHeaderSize || bytes.compare(start, 4, "OggS") != 0) return 0;
  const std::size_t segments = static_cast<unsigned char>(bytes[start + kSegmentCountOffset]);
  if (bytes.size() - start < kHeaderSize + segments) return 0;
  std::size_t size = kHeaderSize + segments;
  for (std::size_t i = 0; i < segments; ++i)
    size += static_cast<unsigned char>(bytes[start + kHeaderSize + i]);
  return size <= bytes.size() - start ? size : 0;
}

}  // namespace

void setOggSerialNumber(std::string& bytes, uint32_t serial) {
  std::size_t start = 0;
  while (const std::size_t size = pageSize(bytes, start)) {
    putLittleEndian32(bytes, start + kSerialOffset, serial);
    putLittleEndian32(bytes, start + kChecksumOffset, 0);
    putLittleEndian32(bytes, start + kChecksumOffset, pageChecksum(bytes, start, size));
    start += size;
  }
}

}  // namespace rendlow::audio
