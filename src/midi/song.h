#pragma once

// The in-memory form of a Standard MIDI File as it was read: header, tracks with their events,
// and the song-wide tempo changes and time signatures that the rest of the program works from.
// All times are absolute ticks from the start of a track, in the header's division. The stages
// after the reader only read it: what they make, they return as values of their own.
//
// Everything is held by value. Events live in their track's lists and are named by position;
// tempo changes and time signatures by their position in the song's lists. The data bytes of
// meta and system-exclusive events stay where the file had them, in the song's byte store.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace rendlow {

// The position of no event, note, tempo change or time signature.
inline constexpr int32_t kNone = -1;

enum class EventKind : uint8_t {
  None,  // a data byte where no running status applied; never reclassified
  NoteOff,
  NoteOn,
  PolyPressure,
  ControlChange,
  ProgramChange,
  ChannelPressure,
  PitchBend,
  SysEx,
  SysExEscape,
  Meta,
};

EventKind classifyStatus(uint8_t status);

// A channel event: note-off to pitch bend. Its data bytes (one or two) are held in the event.
inline bool isChannelKind(EventKind kind) {
  return kind >= EventKind::NoteOff && kind <= EventKind::PitchBend;
}

inline constexpr int32_t kMetaTrackName = 0x03;
inline constexpr int32_t kMetaEndOfTrack = 0x2F;
inline constexpr int32_t kMetaTempo = 0x51;
inline constexpr int32_t kMetaTimeSignature = 0x58;

struct MidiHeader {
  std::array<char, 4> chunkId{};
  uint32_t length = 0;
  // Unsigned 16-bit numbers, as the file has them: a count of 32,768 tracks or more is a count,
  // and a division with its top bit set counts SMPTE time, not a negative number of ticks.
  uint16_t format = 0;
  uint16_t trackCount = 0;
  uint16_t division = 0;
};

// What an event is, apart from when it happens: its status and its data bytes. An event read
// from the file and an event placed in the rendering file share it.
struct EventContent {
  int32_t length = 0;       // data bytes
  uint32_t dataOffset = 0;  // of the data bytes in Song::bytes; channel events keep theirs in `head`
  uint8_t status = 0;
  // Kept beside `status` because an event read with no running status to apply is of kind None
  // while `status` holds the last meta or system-exclusive byte; classifying it again would turn
  // it into a meta or system-exclusive event.
  EventKind kind = EventKind::None;
  int8_t metaType = -1;  // the meta type byte; -1 for every other event
  // The first two data bytes (0 where the event has fewer): all a channel event has, and what
  // every stage tests (note number and velocity, controller number and value).
  std::array<uint8_t, 2> head{};

  // Data byte `i` (0 or 1) as a signed 8-bit value, widened; 0 when the event has no such byte.
  int32_t signedData(std::size_t i) const {
    return std::cmp_less(i, length) ? static_cast<int32_t>(static_cast<int8_t>(head[i])) : 0;
  }
  // A note-on with velocity above 0: it starts a note.
  bool startsNote() const { return kind == EventKind::NoteOn && signedData(1) > 0; }
  // A note-off, or a note-on with velocity 0.
  bool endsNote() const {
    return kind == EventKind::NoteOff || (kind == EventKind::NoteOn && signedData(1) == 0);
  }
  bool isMeta(int32_t type) const { return kind == EventKind::Meta && metaType == type; }
};

// An event as read: its content, where the track had it, and what the reader found out about it.
struct MidiEvent : EventContent {
  int32_t tick = 0;
  int32_t delta = 0;  // the ticks since the track's previous event, as the file had them
                      // (with those of any event skipped between)
  int32_t index = 0;
  int32_t voice = 0;
  int32_t tempo = kNone;  // the tempo change in effect at `tick` when the event was read

  // An event that is more than a track's setup: anything but a meta event (a data byte without a
  // status included) after tick 0, a tempo change or a time signature. A track with one has
  // content; in the rendering layout it keeps its distance from what came before.
  bool countsAsContent() const {
    return (kind != EventKind::Meta && tick > 0) || isMeta(kMetaTempo) || isMeta(kMetaTimeSignature);
  }
};

using EventList = std::vector<MidiEvent>;

struct Tempo {
  // The Set Tempo event: its track, and its position in that track's events.
  int32_t track = kNone;
  int32_t event = kNone;
  float bpm = 0.0f;
  // Per quarter note, as the event sets it. The chart writes its tempo from this, exactly: a tempo
  // rounded to fewer digits makes a long song drift from its notes.
  int32_t microseconds = 0;
  int32_t tick = 0;
  int32_t index = 0;
};

struct TimeSignature {
  int32_t numerator = 0;
  int32_t denominator = 0;
  int32_t tick = 0;
};

struct MidiTrack {
  bool hasTempo = false;
  int32_t activeNotes = 0;
  int32_t maxPolyphony = 0;
  std::vector<int32_t> controllers;  // every controller number used, ascending, each once
  std::string name;
  EventList events;
  bool hasContent = false;

  // Appends an event as the reader keeps it: counts it into the track's bookkeeping (a note-on's
  // voice, the sounding notes and the most at once, the controllers used, whether the track
  // holds a tempo change and has content), numbers it, and raises the song's end to its tick.
  void addEvent(MidiEvent event, int32_t& songEnd);
};

// What a damaged file lost while it was read; everything read before the damage is kept.
struct ReadDamage {
  enum class Kind {
    TrackCutShort,  // the file ends inside the track, before its End of Track
    NumberTooLong,  // a variable-length number of more than 4 bytes: nothing after it is read
    TickPastLimit,  // the track's ticks pass 2147483647: nothing after it is read
    NotATrack,      // where the track should be, a chunk that is not "MTrk": no track from it on
    TracksMissing,  // the file ends before all the tracks its header announces
    TempoZero,      // a Set Tempo of 0 microseconds per quarter note: skipped, reading goes on
    DataCutOff,     // a status byte where a data byte belongs: the event is left out, reading goes on
  };
  Kind kind = Kind::TrackCutShort;
  int32_t track = 0;      // 1 for the file's first track; TracksMissing: the tracks read
  int32_t announced = 0;  // TracksMissing: the header's track count
  int32_t tick = 0;       // TempoZero, DataCutOff: where the track had the event

  // Whether the reading of the track (or of the file) stopped here: every damage but an event
  // left out on its own.
  bool stopsReading() const { return kind != Kind::TempoZero && kind != Kind::DataCutOff; }
};

struct Song {
  MidiHeader header;
  std::vector<MidiTrack> tracks;
  std::vector<Tempo> tempos;  // in reading order, all tracks together
  std::vector<TimeSignature> timeSignatures;  // likewise
  int32_t songEnd = 0;
  // The file as read, then any data bytes the program adds; meta and system-exclusive events
  // point into it.
  std::vector<uint8_t> bytes;
  std::vector<ReadDamage> damage;

  // The data bytes of an event of one of the song's tracks, or of a copy of one.
  std::span<const uint8_t> dataOf(const EventContent& event) const;
  // Appends bytes for an event the program makes and returns where they start.
  uint32_t store(std::span<const uint8_t> data);
};

// The microseconds per quarter note that a Set Tempo event of the song sets: its first three data
// bytes, most significant first, a byte the event lacks counting as 0.
int32_t tempoMicroseconds(const Song& song, const EventContent& event);

// Whether any track of the song starts a note.
bool hasNote(const Song& song);

// The position of the time signature in effect at `tick`: the scan runs over the list in reading
// order and stops at the first entry that lies later; before the first entry, the first entry.
// kNone on an empty list.
int32_t timeSignatureAt(const std::vector<TimeSignature>& beats, int32_t tick);

}  // namespace rendlow
