#pragma once

// A song as text, so that a test compares tracks, events, kinds, ticks, links and damage in one
// exact string, and the expected string can live in a data file; and a read track as the writer
// takes it. Header only, for the suites that link the MIDI layer: the support library itself
// knows nothing of the engine.

#include <string>

#include "base/format.h"
#include "midi/song.h"
#include "midi/timed_event.h"

namespace rendlow::test {

inline const char* kindName(EventKind kind) {
  static const char* const kKinds[] = {"None",          "NoteOff",         "NoteOn",    "PolyPressure",
                                       "ControlChange", "ProgramChange",   "ChannelPressure",
                                       "PitchBend",     "SysEx",           "SysExEscape", "Meta"};
  return kKinds[static_cast<int>(kind)];
}

// "<tick> <kind> <status>[/<meta type>] [<length>] <data bytes>", then the tempo link and, for a
// note-on that starts a note, its voice.
inline std::string describeEvent(const Song& song, const MidiEvent& e) {
  std::string text;
  appendFormatted(text, "%d %s %02X", e.tick, kindName(e.kind), e.status);
  if (e.metaType != -1) appendFormatted(text, "/%02X", static_cast<unsigned>(e.metaType) & 0xFFu);
  appendFormatted(text, " [%d]", e.length);
  for (const uint8_t byte : song.dataOf(e)) appendFormatted(text, " %02X", byte);
  if (e.tempo != kNone) appendFormatted(text, " tempo=%d", e.tempo);
  if (e.startsNote()) appendFormatted(text, " voice=%d", e.voice);
  return text;
}

// "damage <kind> track <n> announced <count>", and the tick of a damage that did not stop the reading.
inline std::string describeDamage(const ReadDamage& d) {
  static const char* const kDamage[] = {"TrackCutShort", "NumberTooLong", "TickPastLimit", "NotATrack",
                                        "TracksMissing", "TempoZero",     "DataCutOff"};
  std::string text;
  appendFormatted(text, "damage %s track %d announced %d", kDamage[static_cast<int>(d.kind)], d.track,
                  d.announced);
  return text + (!d.stopsReading() ? " tick " + std::to_string(d.tick) + "\n" : "\n");
}

// A read track's events as the writer takes them, at the ticks they were read at.
inline TimedEventList timedEventsOf(const MidiTrack& track) {
  TimedEventList events;
  for (const MidiEvent& e : track.events) {
    TimedEvent& timed = events.emplace_back();
    static_cast<EventContent&>(timed) = e;
    timed.tick = e.tick;
  }
  return events;
}

// The header, every track with its events, the tempo changes, time signatures and damage.
inline std::string describeSong(const Song& song) {
  std::string text;
  appendFormatted(text, "header format=%d tracks=%d division=%d end=%d\n", song.header.format,
                  song.header.trackCount, song.header.division, song.songEnd);
  for (std::size_t t = 0; t < song.tracks.size(); ++t) {
    const MidiTrack& track = song.tracks[t];
    appendFormatted(text, "track %d content=%d tempo=%d polyphony=%d active=%d controllers=", static_cast<int>(t) + 1,
                    track.hasContent, track.hasTempo, track.maxPolyphony, track.activeNotes);
    for (const int32_t c : track.controllers) appendFormatted(text, "%d,", c);
    text += " name=\"" + track.name + "\"\n";
    for (const MidiEvent& e : track.events) text += "  " + describeEvent(song, e) + "\n";
  }
  for (const Tempo& t : song.tempos)
    appendFormatted(text, "tempo %d: track %d event %d tick %d bpm %f\n", t.index, t.track + 1, t.event, t.tick,
                    static_cast<double>(t.bpm));
  for (const TimeSignature& b : song.timeSignatures) appendFormatted(text, "beat %d/%d tick %d\n", b.numerator, b.denominator, b.tick);
  for (const ReadDamage& d : song.damage) text += describeDamage(d);
  return text;
}

}  // namespace rendlow::test
