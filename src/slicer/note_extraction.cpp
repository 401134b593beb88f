#include "slicer/note_extraction.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <utility>

#include "base/integer_math.h"
#include "slicer/definition_numbering.h"

namespace rendlow {

namespace {

// Note numbers and controller numbers are compared as single data bytes.
std::size_t byteSlot(int32_t value) { return static_cast<uint8_t>(value); }

MidiEvent makeNoteOff(const MidiEvent& noteOn, int32_t tick) {
  MidiEvent off;
  off.tick = tick;
  off.status = static_cast<uint8_t>(0x80 | (noteOn.status & 0x0F));
  off.kind = EventKind::NoteOff;
  off.length = 2;
  off.head = {static_cast<uint8_t>(noteOn.signedData(0)), 0};
  return off;
}

// The order of a track's events as read, made when something is added or moved.
std::vector<int32_t> orderAsRead(std::size_t events) {
  std::vector<int32_t> order(events);
  std::iota(order.begin(), order.end(), 0);
  return order;
}

// A note-on that no later event ends is ended at the end of its track: by a note-off at the tick
// of the last event, placed before it when it is the End of Track and after it otherwise. Later
// unended note-ons of the same note number are ended by that same note-off, as a search would
// find it, so one note-off per note number is enough. Keeps `noteOffs` in step with the order:
// the note-offs go in after every note-on and every event that ends one.
void endUnendedNotes(const EventList& asRead, SlicedTrack& sliced, std::vector<int32_t>& noteOffs) {
  EventList& added = sliced.addedNoteOffs;
  std::array<int32_t, 256> addedFor;
  addedFor.fill(kNone);
  std::vector<std::pair<std::size_t, int32_t>> unended;  // note-on position, added note-off
  for (std::size_t i = 0; i < asRead.size(); ++i) {
    const MidiEvent& e = asRead[i];
    if (!e.startsNote() || noteOffs[i] != kNone) continue;
    int32_t& off = addedFor[byteSlot(e.signedData(0))];
    if (off == kNone) {
      off = static_cast<int32_t>(added.size());
      added.push_back(makeNoteOff(e, asRead.back().tick));
    }
    unended.emplace_back(i, off);
  }
  if (added.empty()) return;
  const auto at = static_cast<int32_t>(asRead.size()) - (asRead.back().isMeta(kMetaEndOfTrack) ? 1 : 0);
  sliced.order = orderAsRead(asRead.size());
  std::vector<int32_t> addedPositions(added.size());
  std::iota(addedPositions.begin(), addedPositions.end(), static_cast<int32_t>(asRead.size()));
  sliced.order.insert(sliced.order.begin() + at, addedPositions.begin(), addedPositions.end());
  noteOffs.insert(noteOffs.begin() + at, added.size(), kNone);
  for (const auto& [noteOn, off] : unended) noteOffs[noteOn] = at + off;
  int32_t previousTick = at > 0 ? asRead[static_cast<std::size_t>(at - 1)].tick : 0;
  for (MidiEvent& off : added) {
    off.delta = clampToInt32(int64_t{off.tick} - previousTick);
    previousTick = off.tick;
  }
}

// The values a General MIDI instrument holds before it is told otherwise. A controller the track
// sets only after its first notes is at this value for them: at 0, a volume (7) or expression
// (11) set later would make those notes' sounds silent.
constexpr std::array<std::pair<int32_t, int32_t>, 8> kPowerOnValues = {{
    {7, 100},   // volume
    {8, 64},    // balance
    {10, 64},   // pan
    {11, 127},  // expression
    {98, 127},  // NRPN and RPN selects: none selected
    {99, 127},
    {100, 127},
    {101, 127},
}};

// Controller values as the walk over the track meets them, per track (not per channel), kept
// once per distinct set of values that notes start with.
class ControllerWalk {
public:
  explicit ControllerWalk(SlicedTrack& sliced) : sliced_(sliced) {
    for (const auto& [number, value] : kPowerOnValues) values_[byteSlot(number)] = value;
  }

  void apply(const MidiEvent& e) {
    values_[byteSlot(e.signedData(0))] = e.signedData(1);
    changed_ = true;
  }

  // The state a note starting now carries; the same as the previous note's when nothing changed.
  int32_t stateNow() {
    const std::vector<int32_t>& numbers = sliced_.controllerNumbers;
    if (numbers.empty()) return kNone;
    if (!changed_ && current_ != kNone) return current_;
    changed_ = false;
    std::vector<int32_t>& rows = sliced_.controllerValues;
    const std::size_t start = rows.size();
    for (const int32_t number : numbers) rows.push_back(values_[byteSlot(number)]);
    if (current_ != kNone && std::equal(rows.begin() + static_cast<std::ptrdiff_t>(start), rows.end(),
                                        rows.begin() + static_cast<std::ptrdiff_t>(start - numbers.size()))) {
      rows.resize(start);
      return current_;
    }
    current_ = static_cast<int32_t>(start / numbers.size());
    return current_;
  }

private:
  SlicedTrack& sliced_;
  std::array<int32_t, 256> values_{};
  bool changed_ = true;
  int32_t current_ = kNone;
};

// Collects notes into chains. Only the newest chain is open; a note that does not join it opens
// the next one. Notes arrive in time order, so under Legato every member started no later than
// the new note, and the new note joins when it starts before the latest end in the chain.
class Grouping {
public:
  Grouping(std::vector<Note>& notes, int32_t splitMethod) : notes_(notes), method_(splitMethod) {}

  void add(int32_t index) {
    Note& note = notes_[static_cast<std::size_t>(index)];
    if (joinsOpenChain(note)) {
      notes_[static_cast<std::size_t>(tail_)].chainNext = index;
      note.chainPrev = tail_;
      latestEnd_ = std::max(latestEnd_, note.endTick());
    } else {
      head_ = index;
      latestEnd_ = note.endTick();
    }
    tail_ = index;
  }

private:
  bool joinsOpenChain(const Note& note) const {
    if (head_ == kNone) return false;
    if (method_ == static_cast<int32_t>(SplitMethod::Chord))
      return note.tick == notes_[static_cast<std::size_t>(head_)].tick;
    if (method_ == static_cast<int32_t>(SplitMethod::Legato)) return note.tick < latestEnd_;
    return false;
  }

  std::vector<Note>& notes_;
  int32_t method_;
  int32_t head_ = kNone;
  int32_t tail_ = kNone;
  int32_t latestEnd_ = 0;
};

Note makeNote(const SlicedEvents& events, int32_t noteOn, int32_t noteOff) {
  const MidiEvent& on = events[static_cast<std::size_t>(noteOn)];
  Note note;
  note.noteOn = noteOn;
  note.noteOff = noteOff;
  note.tick = on.tick;
  note.pitch = on.signedData(0);
  note.velocity = on.signedData(1);
  note.duration = clampToInt32(int64_t{events[static_cast<std::size_t>(noteOff)].tick} - on.tick);
  note.voice = on.voice;
  return note;
}

// Where neighbouring chain members of rising pitch end on one tick, the earlier member's
// note-off is made to come first. Passes run tail to head until one swaps nothing; only the
// destinations move here, the events follow when the order is sorted by them. Gives, per
// position, where the event goes (a permutation of the positions), or nothing when no event
// moves, as in most tracks.
std::vector<int32_t> noteOffDestinations(const std::vector<Note>& notes, const SlicedEvents& events) {
  std::vector<int32_t> destination;
  const auto destinationOf = [&](std::size_t position) {
    return destination.empty() ? static_cast<int32_t>(position) : destination[position];
  };
  std::vector<const Note*> chain;
  for (const Note& head : notes) {
    if (!head.isHead() || head.chainNext == kNone) continue;
    chain.clear();
    for (const Note* n = &head; n;
         n = n->chainNext == kNone ? nullptr : &notes[static_cast<std::size_t>(n->chainNext)])
      chain.push_back(n);
    for (bool swapped = true; swapped;) {
      swapped = false;
      for (std::size_t i = chain.size() - 1; i-- > 0;) {
        const auto x = static_cast<std::size_t>(chain[i]->noteOff);
        const auto y = static_cast<std::size_t>(chain[i + 1]->noteOff);
        if (events[x].tick == events[y].tick && chain[i]->pitch < chain[i + 1]->pitch &&
            destinationOf(y) < destinationOf(x)) {
          if (destination.empty()) destination = orderAsRead(events.size());
          std::swap(destination[x], destination[y]);
          swapped = true;
        }
      }
    }
  }
  return destination;
}

// Puts the order in the order of `destination`, in place, and moves the notes' references and
// the events' notes along.
void moveEvents(SlicedTrack& sliced, std::vector<int32_t> destination) {
  if (destination.empty()) return;
  if (sliced.order.empty()) sliced.order = orderAsRead(destination.size());
  for (Note& note : sliced.notes) {
    note.noteOn = destination[static_cast<std::size_t>(note.noteOn)];
    note.noteOff = destination[static_cast<std::size_t>(note.noteOff)];
  }
  for (std::size_t i = 0; i < destination.size(); ++i) {
    while (std::cmp_not_equal(destination[i], i)) {
      const auto to = static_cast<std::size_t>(destination[i]);
      std::swap(sliced.order[i], sliced.order[to]);
      std::swap(sliced.noteOfEvent[i], sliced.noteOfEvent[to]);
      std::swap(destination[i], destination[to]);
    }
  }
}

// Makes a note of every note-on of the events, with the controller state it starts with (of
// sliced.controllerNumbers), and groups the notes into chains; gives where the note-offs of each chain go (see noteOffDestinations).
std::vector<int32_t> makeNotes(const SlicedEvents& events, const std::vector<int32_t>& noteOffs,
                               SlicedTrack& sliced, const TrackSettings& settings, Diagnostics& diagnostics) {
  sliced.noteOfEvent.assign(events.size(), kNone);
  ControllerWalk controllers(sliced);
  Grouping grouping(sliced.notes, settings.splitMethod);
  for (std::size_t i = 0; i < events.size(); ++i) {
    const MidiEvent& e = events[i];
    if (e.startsNote()) {
      const auto index = static_cast<int32_t>(sliced.notes.size());
      Note& note = sliced.notes.emplace_back(makeNote(events, static_cast<int32_t>(i), noteOffs[i]));
      note.controlState = controllers.stateNow();
      sliced.noteOfEvent[i] = index;
      // Of two notes ended by one event, the event belongs to the later.
      sliced.noteOfEvent[static_cast<std::size_t>(note.noteOff)] = index;
      diagnostics.print("NoteOn: %d %d %d\n", note.tick, note.duration, note.pitch);
      grouping.add(index);
    } else if (e.kind == EventKind::ControlChange) {
      controllers.apply(e);
    }
  }
  return noteOffDestinations(sliced.notes, events);
}

}  // namespace

std::vector<int32_t> findNoteOffs(const EventList& events) {
  std::vector<int32_t> found(events.size(), kNone);
  std::array<int32_t, 256> nearestEnd;  // per note number, from the right
  nearestEnd.fill(kNone);
  for (std::size_t i = events.size(); i-- > 0;) {
    const MidiEvent& e = events[i];
    const std::size_t number = byteSlot(e.signedData(0));
    if (e.startsNote()) found[i] = nearestEnd[number];
    if (e.endsNote()) nearestEnd[number] = static_cast<int32_t>(i);
  }
  return found;
}

SlicedTrack extractNotes(const MidiTrack& track, const TrackSettings& settings, std::span<const Tempo> tempos,
                         Diagnostics& diagnostics) {
  SlicedTrack sliced;
  sliced.controllerNumbers = track.controllers;
  sliced.notes.reserve(static_cast<std::size_t>(std::count_if(
      track.events.begin(), track.events.end(), [](const MidiEvent& e) { return e.startsNote(); })));
  std::vector<int32_t> noteOffs = findNoteOffs(track.events);
  endUnendedNotes(track.events, sliced, noteOffs);
  std::vector<int32_t> destination = makeNotes(SlicedEvents(track.events, sliced), noteOffs, sliced,
                                               settings, diagnostics);
  moveEvents(sliced, std::move(destination));
  // A view of its own: moving the events may have made the order.
  takeNumbers(sliced.notes, numberDefinitions(SlicedEvents(track.events, sliced), sliced, settings, tempos));
  return sliced;
}

}  // namespace rendlow
