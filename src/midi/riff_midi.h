#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace rendlow {

// A RIFF MIDI file (".rmi": "RIFF", its size, "RMID", then chunks) carries a Standard MIDI File
// in its "data" chunk. The bytes of that chunk, cut to what the file holds; nothing when the
// bytes are no RIFF MIDI file or it has no "data" chunk.
std::optional<std::span<const uint8_t>> midiInRiff(std::span<const uint8_t> file);

}  // namespace rendlow
