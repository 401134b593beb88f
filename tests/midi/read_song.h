#pragma once

// Reading helpers for the reader's tests: read a built or stored file with a fresh application
// that captures the progress lines, and describe what was kept as text, so that a test compares
// tracks, events, kinds and ticks in one exact string.

#include <sstream>
#include <string>

#include "app/application.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"

namespace rendlow::test {

// One reading session: its own application (so its own running status) and its own lines.
class ReadSession {
public:
  ReadSession() : app(&lines) {}

  // Reads a file; remembers the result.
  bool read(const std::string& path);
  // Writes the song to a temporary file and reads it.
  bool read(const MidiBuilder& song);
  bool read(const Bytes& bytes);

  std::string diagnostics() const { return lines.str(); }
  const MidiTrack& track(std::size_t i) const { return *app.project.tracks.at(i); }
  const MidiEvent& event(std::size_t trackIndex, std::size_t i) const {
    return *app.project.tracks.at(trackIndex)->events.at(i);
  }

  std::ostringstream lines;
  Application app;
  bool ok = false;

private:
  TempDir dir_;
  int files_ = 0;
};

const char* kindName(EventKind kind);
// "<tick> <kind> <status>[/<meta type>] [<length>] <data bytes>", bytes in upper-case hex.
std::string describeEvent(const MidiEvent& event);
// One header line per track ("track <n> "<name>" content=<0|1> polyphony=<n>"), then its events
// indented by two spaces.
std::string describeTracks(const Project& project);

}  // namespace rendlow::test
