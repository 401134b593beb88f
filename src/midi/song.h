#pragma once

// The in-memory form of a Standard MIDI File: header, tracks with their events, and the
// song-wide tempo changes, time signatures and measures that the rest of the program works from.
// All times are absolute ticks from the start of a track, in the header's division.

#include <array>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/track_settings.h"

namespace rendlow {

struct Note;
struct Tempo;
struct Beat;
class MidiTrack;

enum class EventKind {
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

inline constexpr int32_t kMetaTrackName = 0x03;
inline constexpr int32_t kMetaEndOfTrack = 0x2F;
inline constexpr int32_t kMetaTempo = 0x51;
inline constexpr int32_t kMetaTimeSignature = 0x58;

struct MidiHeader {
  std::array<char, 4> chunkId{};
  uint32_t length = 0;
  int16_t format = 0;
  int16_t trackCount = 0;
  int16_t division = 0;
};

struct MidiEvent {
  MidiTrack* track = nullptr;  // the owning track; events never outlive their track's lists
  int32_t tick = 0;
  int32_t delta = 0;
  uint8_t status = 0;
  // Kept beside `status` because an event read with no running status to apply is of kind None
  // while `status` holds the last meta or system-exclusive byte; classifying it again would turn
  // it into a meta or system-exclusive event.
  EventKind kind = EventKind::None;
  int32_t length = 0;
  int32_t metaType = -1;
  std::vector<uint8_t> data;  // `length` bytes; empty when the event has none
  int32_t index = 0;
  int32_t voice = 0;
  // Neighbours in the track as read. Non-owning: the track's lists own every event, and owning
  // links in both directions would keep a song alive forever.
  MidiEvent* next = nullptr;
  MidiEvent* prev = nullptr;
  std::weak_ptr<Note> note;
  std::weak_ptr<Tempo> tempo;
  std::weak_ptr<Beat> beat;

  // Data byte `i` as a signed 8-bit value, widened; 0 when the event has no such byte.
  int32_t signedData(std::size_t i) const {
    return i < data.size() ? static_cast<int32_t>(static_cast<int8_t>(data[i])) : 0;
  }
  // A note-on with velocity above 0: it starts a note.
  bool startsNote() const { return kind == EventKind::NoteOn && signedData(1) > 0; }
  // A note-off, or a note-on with velocity 0.
  bool endsNote() const {
    return kind == EventKind::NoteOff || (kind == EventKind::NoteOn && signedData(1) == 0);
  }
  bool isMeta(int32_t type) const { return kind == EventKind::Meta && metaType == type; }

  // A fresh event with the same track, times, status, data and links; index and voice 0, no beat.
  std::shared_ptr<MidiEvent> copy() const;
};

using EventList = std::vector<std::shared_ptr<MidiEvent>>;

struct Tempo {
  std::shared_ptr<MidiEvent> event;
  float bpm = 0.0f;
  int32_t tick = 0;
  int32_t shiftedTick = 0;
  int32_t shift = 0;
  int32_t extent = 0;
  int32_t index = 0;
};

struct Beat {
  std::shared_ptr<MidiEvent> event;
  int32_t numerator = 0;
  int32_t denominator = 0;
  int32_t tick = 0;
  int32_t shiftedTick = 0;
};

struct Measure {
  int32_t index = 0;
  int32_t startTick = 0;
  int32_t length = 0;

  // 64 bits: the last measure of a song may end past the largest tick a song can have.
  int64_t endTick() const { return int64_t{startTick} + length; }
};

class MidiTrack {
public:
  int32_t currentTick = 0;
  bool hasTempo = false;
  int32_t activeNotes = 0;
  int32_t maxPolyphony = 0;
  std::set<int32_t> controllers;
  std::vector<std::shared_ptr<Note>> notes;
  std::array<char, 4> chunkId{};
  int32_t chunkLength = 0;
  std::string name;
  TrackSettings settings;
  EventList events;
  EventList originalEvents;
  std::vector<int32_t> sectionExtents;
  bool hasContent = false;

  // Appends an event read from the file: numbers it, links it to its neighbour, and raises the
  // song's end to its tick.
  void addEvent(const std::shared_ptr<MidiEvent>& event, int32_t& songEnd);
};

using TrackList = std::vector<std::shared_ptr<MidiTrack>>;
using TempoList = std::vector<std::shared_ptr<Tempo>>;
using BeatList = std::vector<std::shared_ptr<Beat>>;
using MeasureList = std::vector<std::shared_ptr<Measure>>;

// The tempo change (time signature) in effect at `tick`: the scan runs over the list in reading
// order and stops at the first entry that lies later; before the first entry, the first entry.
// Empty on an empty list.
std::shared_ptr<Tempo> tempoAt(const TempoList& tempos, int32_t tick);
std::shared_ptr<Beat> beatAt(const BeatList& beats, int32_t tick);

}  // namespace rendlow
