#pragma once

// A song as text, so that a test compares tracks, events, kinds, ticks, links and damage in one
// exact string, and the expected string can live in a data file. Header only, for the suites
// that link the MIDI layer: the support library itself knows nothing of the engine.

#include <cstdio>
#include <string>

#include "midi/song.h"

namespace rendlow::test {

// "<tick> <kind> <status>[/<meta type>] [<length>] <data bytes>", then the tempo link and, for a
// note-on that starts a note, its voice.
inline std::string describeEvent(const Song& song, const MidiEvent& e) {
  static const char* const kKinds[] = {"None",          "NoteOff",         "NoteOn",    "PolyPressure",
                                       "ControlChange", "ProgramChange",   "ChannelPressure",
                                       "PitchBend",     "SysEx",           "SysExEscape", "Meta"};
  char part[64];
  std::snprintf(part, sizeof part, "%d %s %02X", e.tick, kKinds[static_cast<int>(e.kind)], e.status);
  std::string text = part;
  if (e.metaType != -1)
    std::snprintf(part, sizeof part, "/%02X", static_cast<unsigned>(e.metaType) & 0xFFu), text += part;
  text += " [" + std::to_string(e.length) + "]";
  for (const uint8_t byte : song.dataOf(e)) std::snprintf(part, sizeof part, " %02X", byte), text += part;
  if (e.tempo != kNone) text += " tempo=" + std::to_string(e.tempo);
  if (e.startsNote()) text += " voice=" + std::to_string(e.voice);
  return text;
}

// The header, every track with its events, the tempo changes, time signatures and damage.
inline std::string describeSong(const Song& song) {
  static const char* const kDamage[] = {"TrackCutShort", "NumberTooLong", "TickPastLimit", "NotATrack",
                                        "TracksMissing"};
  char line[128];
  std::snprintf(line, sizeof line, "header format=%d tracks=%d division=%d end=%d\n", song.header.format,
                song.header.trackCount, song.header.division, song.songEnd);
  std::string text = line;
  for (std::size_t t = 0; t < song.tracks.size(); ++t) {
    const MidiTrack& track = song.tracks[t];
    std::snprintf(line, sizeof line,
                  "track %d content=%d tempo=%d polyphony=%d active=%d controllers=", static_cast<int>(t) + 1,
                  track.hasContent, track.hasTempo, track.maxPolyphony, track.activeNotes);
    text += line;
    for (const int32_t c : track.controllers) text += std::to_string(c) + ",";
    text += " name=\"" + track.name + "\"\n";
    for (const MidiEvent& e : track.events) text += "  " + describeEvent(song, e) + "\n";
  }
  for (const Tempo& t : song.tempos) {
    std::snprintf(line, sizeof line, "tempo %d: track %d event %d tick %d bpm %f\n", t.index, t.track + 1, t.event,
                  t.tick, static_cast<double>(t.bpm));
    text += line;
  }
  for (const Beat& b : song.beats)
    text += "beat " + std::to_string(b.numerator) + "/" + std::to_string(b.denominator) + " tick " +
            std::to_string(b.tick) + "\n";
  for (const ReadDamage& d : song.damage) {
    std::snprintf(line, sizeof line, "damage %s track %d announced %d\n", kDamage[static_cast<int>(d.kind)], d.track,
                  d.announced);
    text += line;
  }
  return text;
}

}  // namespace rendlow::test
