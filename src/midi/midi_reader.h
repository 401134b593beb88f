#pragma once

#include <cstdint>
#include <string>

#include "base/diagnostics.h"
#include "midi/song.h"

namespace rendlow {

class Project;

// Running status as the reader keeps it: for the whole life of the program, not per track or
// per file.
struct RunningStatus {
  uint8_t lastStatus = 0;
  EventKind lastKind = EventKind::None;
};

// Reads a Standard MIDI File into the project, replacing the song it held. True when a file with
// an "MThd" header was read (even if some or all tracks failed); false when the file could not be
// opened, is not a MIDI file, or has a division the program cannot use.
bool readMidiFile(Project& project, const std::string& path, RunningStatus& runningStatus,
                  Diagnostics& diagnostics);

// The settings file that belongs to a MIDI file: everything from the last "." replaced by ".txt".
std::string settingsPathFor(const std::string& midiPath);

}  // namespace rendlow
