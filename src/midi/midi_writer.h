#pragma once

// The rendering MIDI file: format 1, one track chunk per converted track, each track's events
// written exactly as the layout holds them (no running status, no events added or moved). Takes
// the laid-out tracks and the song for the data bytes of meta and system-exclusive events; gives
// the file's bytes.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "base/diagnostics.h"
#include "base/result.h"
#include "midi/song.h"
#include "midi/timed_event.h"

namespace rendlow {

// Appends `value` as a variable-length number and returns the bytes written. 0 to 127, and any
// negative value, is one byte holding the low 7 bits; a larger value is its 7-bit groups, most
// significant first, bit 7 set on every byte but the last.
int writeVarLen(std::string& out, int32_t value);

// One track chunk to write: the track's position in song.tracks (its number and name tell the
// user which track failed) and its events in file order.
struct TrackToWrite {
  std::size_t track = 0;
  std::span<const TimedEvent> events;
};

// The whole file in memory: the header, then one chunk for each of `tracks`, in the order given,
// each event written at the distance from the one written before it. An event of kind None is
// left out; the next event written keeps its tick. The hex dump of every event (status, meta type, data
// bytes, each "%02X ", then two spaces; "\n\n" before each chunk) goes to `diagnostics`.
// A variable-length number in a MIDI file has at most four bytes: 28 bits, the largest delta.
inline constexpr int64_t kLargestDelta = 0x0FFFFFFF;

// Fails, naming the track, when a delta or a track's length would pass what a MIDI file can
// hold: the file would be written, but no reader could read it back.
Result<std::string> encodeMidiFile(const Song& song, std::span<const TrackToWrite> tracks,
                                   Diagnostics& diagnostics);

}  // namespace rendlow
