#pragma once

// The rendering MIDI file: format 1, one track chunk per converted track, each track's events
// written exactly as the layout holds them (no running status, no events added or moved).

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/diagnostics.h"
#include "base/file_output.h"
#include "midi/song.h"

namespace rendlow {

class Project;

// Appends `value` as a variable-length number and returns the bytes written. 0 to 127, and any
// negative value, is one byte holding the low 7 bits; a larger value is its 7-bit groups, most
// significant first, bit 7 set on every byte but the last.
int writeVarLen(std::string& out, int32_t value);

// Bytes that one event takes in a track chunk when written with `delta`; 0 for an event of kind
// None, which is never written.
std::size_t encodedSize(const MidiEvent& event, int32_t delta);

// Appends one event with `delta` (not the event's own: a None event before it hands its delta
// on): the delta, the status byte, then the bytes of its kind. The hex dump of the event (status,
// meta type, data bytes, each "%02X ", then two spaces) goes to `diagnostics`.
void writeEvent(std::string& out, const MidiEvent& event, int32_t delta, Diagnostics& diagnostics);

// The whole file in memory: header, then a chunk for every track whose hasContent and
// settings.enabled are both set, in file order.
std::string encodeMidiFile(const Project& project, Diagnostics& diagnostics);

// Writes the file at `path` in one atomic step; on success project.outputPath becomes `path`.
WriteStatus writeMidiFile(Project& project, const std::string& path, Diagnostics& diagnostics);

}  // namespace rendlow
