#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "midi/song.h"

namespace rendlow {

// One sounding note: a note-on and the event that ends it. Notes that are heard as one sound (a
// chord, a legato run) form a chain, linked through the track's note list: the head has no
// `chainPrev`, and `chainNext` leads from each note to the next one grouped with it.
struct Note {
  int32_t noteOn = kNone;  // positions in the sliced track's events
  int32_t noteOff = kNone;
  int32_t chainNext = kNone;  // positions in the track's notes
  int32_t chainPrev = kNone;
  int32_t controlState = kNone;  // the controller values when the note started (SlicedTrack)
  int32_t tick = 0;              // of the note-on
  int32_t duration = 0;
  int32_t pitch = 0;
  int32_t velocity = 0;
  int32_t definition = -1;
  int32_t sound = -1;
  int32_t variant = 0;
  bool firstOccurrence = false;
  int32_t voice = 0;

  bool isHead() const { return chainPrev == kNone; }
  // The note-off's tick: duration never overflows, as a note ends no earlier than it starts.
  int32_t endTick() const { return tick + duration; }
};

// What the slicer makes of one track: its notes in note-on order, chained and numbered, and the
// controller values they start with. Many notes start with the same values (most tracks change
// controllers rarely), so each set of values is kept once and notes share it.
struct SlicedTrack {
  // The order the notes were made from, as positions: below the track's event count, an event as
  // read; from it on, one of `addedNoteOffs`. It is the events as read, with a note-off added
  // before the End of Track for notes nothing ends, and note-offs that end together inside a
  // chain in rising-pitch order. Every other event keeps its position as read, which the tempo
  // changes refer to. Positions rather than a copy of the events: the track as read is kept
  // anyway, and a copy would double what the longest stage of a job holds. Empty when the order
  // is the events as read, as in most tracks: nothing added, nothing moved.
  std::vector<int32_t> order;
  EventList addedNoteOffs;           // each with its delta from the event before it
  std::vector<int32_t> noteOfEvent;  // per position of `order`: the note it starts or ends; kNone otherwise
  std::vector<Note> notes;
  std::vector<int32_t> controllerNumbers;  // the track's controllers, ascending
  std::vector<int32_t> controllerValues;   // one row of values per state, in controllerNumbers' order

  std::span<const int32_t> controlState(const Note& note) const {
    if (note.controlState == kNone) return {};
    return std::span(controllerValues)
        .subspan(static_cast<std::size_t>(note.controlState) * controllerNumbers.size(),
                 controllerNumbers.size());
  }
};

// A sliced track's events in its order, looked up in the track's events as read. Refers to both;
// it must not outlive either, nor a change to the length of their lists.
class SlicedEvents {
public:
  SlicedEvents(const EventList& asRead, const SlicedTrack& sliced)
      : asRead_(asRead), order_(sliced.order), added_(sliced.addedNoteOffs) {}

  std::size_t size() const { return order_.empty() ? asRead_.size() : order_.size(); }
  // The event at `position` of the order. An event as read keeps the position and delta it was
  // read with.
  const MidiEvent& operator[](std::size_t position) const {
    if (order_.empty()) return asRead_[position];
    const auto at = static_cast<std::size_t>(order_[position]);
    return at < asRead_.size() ? asRead_[at] : added_[at - asRead_.size()];
  }

private:
  // Spans rather than references to the lists: the lookup is the inner step of the layout and the
  // sound comparison, and a span spares it a load through the list.
  std::span<const MidiEvent> asRead_;
  std::span<const int32_t> order_;
  std::span<const MidiEvent> added_;
};

// Among the notes of the chain from `first` on, the position of the note-off that comes last in
// the track; at equal positions the first found.
int32_t lastNoteOff(const std::vector<Note>& notes, int32_t first);

// What the numbering gives a note (see Note).
struct NoteNumbers {
  int32_t definition = -1;
  int32_t sound = -1;
  int32_t variant = 0;
  bool firstOccurrence = false;
};

// The notes with their numbers, one per note in order.
void takeNumbers(std::vector<Note>& notes, std::span<const NoteNumbers> numbers);

}  // namespace rendlow
