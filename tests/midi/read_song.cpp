#include "read_song.h"

#include <cstdio>

namespace rendlow::test {

bool ReadSession::read(const std::string& path) {
  ok = app.readMidiFile(path);
  return ok;
}

bool ReadSession::read(const MidiBuilder& song) { return read(song.bytes()); }

bool ReadSession::read(const Bytes& bytes) {
  const std::string path = dir_.file("song" + std::to_string(++files_) + ".mid");
  writeBytes(path, bytes);
  return read(path);
}

const char* kindName(EventKind kind) {
  switch (kind) {
    case EventKind::None:
      return "None";
    case EventKind::NoteOff:
      return "NoteOff";
    case EventKind::NoteOn:
      return "NoteOn";
    case EventKind::PolyPressure:
      return "PolyPressure";
    case EventKind::ControlChange:
      return "ControlChange";
    case EventKind::ProgramChange:
      return "ProgramChange";
    case EventKind::ChannelPressure:
      return "ChannelPressure";
    case EventKind::PitchBend:
      return "PitchBend";
    case EventKind::SysEx:
      return "SysEx";
    case EventKind::SysExEscape:
      return "SysExEscape";
    case EventKind::Meta:
      return "Meta";
  }
  return "?";
}

std::string describeEvent(const MidiEvent& event) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%d %s %02X", event.tick, kindName(event.kind), event.status);
  std::string text = buffer;
  if (event.metaType != -1) {
    std::snprintf(buffer, sizeof buffer, "/%02X", static_cast<unsigned>(event.metaType) & 0xFFu);
    text += buffer;
  }
  text += " [" + std::to_string(event.length) + "]";
  for (uint8_t byte : event.data) {
    std::snprintf(buffer, sizeof buffer, " %02X", byte);
    text += buffer;
  }
  return text;
}

std::string describeTracks(const Project& project) {
  std::string text;
  for (std::size_t i = 0; i < project.tracks.size(); ++i) {
    const MidiTrack& track = *project.tracks[i];
    text += "track " + std::to_string(i + 1) + " \"" + track.name +
            "\" content=" + (track.hasContent ? "1" : "0") +
            " polyphony=" + std::to_string(track.maxPolyphony) + "\n";
    for (const auto& event : track.events) text += "  " + describeEvent(*event) + "\n";
  }
  return text;
}

}  // namespace rendlow::test
