#pragma once

// A song read from the bytes a MIDI builder wrote, as a fresh program reads it, silently. Header
// only, for the suites that link the MIDI layer.

#include "midi/midi_reader.h"
#include "support/midi_builder.h"

namespace rendlow::test {

inline Song readSong(const Bytes& file) {
  RunningStatus running;
  Diagnostics quiet;
  return readMidiBytes(file, running, quiet).value();
}

}  // namespace rendlow::test
