#include "midi/riff_midi.h"

#include <algorithm>
#include <cstring>

namespace rendlow {

namespace {

constexpr std::size_t kRiffHeaderBytes = 12;  // "RIFF", the size, the form type
constexpr std::size_t kChunkHeaderBytes = 8;  // the id and the size

bool idAt(std::span<const uint8_t> bytes, std::size_t at, const char* id) {
  return bytes.size() >= at + 4 && std::memcmp(bytes.data() + at, id, 4) == 0;
}

// RIFF sizes are little-endian, unlike those of the MIDI file inside.
std::size_t littleEndianAt(std::span<const uint8_t> bytes, std::size_t at) {
  uint32_t value = 0;
  for (std::size_t i = 4; i-- > 0;) value = (value << 8) | bytes[at + i];
  return value;
}

}  // namespace

std::optional<std::span<const uint8_t>> midiInRiff(std::span<const uint8_t> file) {
  if (!idAt(file, 0, "RIFF") || !idAt(file, 8, "RMID")) return std::nullopt;
  std::size_t at = kRiffHeaderBytes;
  while (file.size() - at >= kChunkHeaderBytes) {
    const std::size_t size = littleEndianAt(file, at + 4);
    const std::size_t start = at + kChunkHeaderBytes;
    const std::size_t held = std::min(size, file.size() - start);
    if (idAt(file, at, "data")) return file.subspan(start, held);
    // Chunks are padded to an even size.
    at = start + held + (held % 2);
    if (at > file.size()) break;
  }
  return std::nullopt;
}

}  // namespace rendlow
