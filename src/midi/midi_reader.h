#pragma once

#include <cstdint>
#include <string>

#include "base/diagnostics.h"
#include "base/result.h"
#include "midi/song.h"

namespace rendlow {

// Running status as the reader keeps it: for the whole life of the program, not per track or
// per file.
struct RunningStatus {
  uint8_t lastStatus = 0;
  EventKind lastKind = EventKind::None;
  // Whether the last file read took the status it was given: its first event had no status byte
  // of its own. Only then can the same bytes read another time, from another status, differ.
  bool carriedIntoFile = false;
};

// Reads a Standard MIDI File, or the one a RIFF MIDI file (".rmi") holds. Chunks other than tracks
// (a karaoke file's) and header fields past the division are passed over by their lengths. A
// damaged file gives what could be read, with its damage listed in the song. A format 0 file comes out as a
// format 1 file would hold it: one track per channel after a conductor (see splitChannels). Fails, with the
// reason for the user, when the file cannot be read at all, is not a MIDI file ("MThd"), has a header cut
// short, is of format 2 (independent songs, one per track) or has a division the program cannot use (0, or
// SMPTE time).
Result<Song> readMidiFile(const std::string& path, RunningStatus& runningStatus, Diagnostics& diagnostics);

// Reads a MIDI file already in memory, as readMidiFile does after reading the file.
Result<Song> readMidiBytes(std::vector<uint8_t> bytes, RunningStatus& runningStatus,
                           Diagnostics& diagnostics);

}  // namespace rendlow
