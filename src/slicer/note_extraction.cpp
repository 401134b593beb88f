#include "slicer/note_extraction.h"

#include <algorithm>
#include <array>
#include <limits>
#include <utility>
#include <vector>

#include "core/track_settings.h"
#include "slicer/definition_numbering.h"
#include "slicer/note.h"
#include "slicer/tick_arithmetic.h"

namespace rendlow {

namespace {

// Note numbers and controller numbers are compared as single data bytes.
std::size_t byteSlot(int32_t value) { return static_cast<uint8_t>(value); }

std::shared_ptr<MidiEvent> makeNoteOff(MidiTrack& track, const MidiEvent& noteOn, int32_t tick) {
  auto off = std::make_shared<MidiEvent>();
  off->track = &track;
  off->tick = tick;
  off->status = static_cast<uint8_t>(0x80 | (noteOn.status & 0x0F));
  off->kind = EventKind::NoteOff;
  off->length = 2;
  off->data = {static_cast<uint8_t>(noteOn.signedData(0)), 0};
  return off;
}

// Numbers the events by position and links each to its neighbours, as the reader leaves them.
void relink(EventList& events) {
  MidiEvent* prev = nullptr;
  for (std::size_t i = 0; i < events.size(); ++i) {
    MidiEvent& e = *events[i];
    e.index = static_cast<int32_t>(i);
    e.prev = prev;
    e.next = nullptr;
    if (prev) prev->next = &e;
    prev = &e;
  }
}

// A note-on that no later event ends is ended at the end of its track: by a note-off at the tick
// of the last event, placed before it when it is the End of Track and after it otherwise. Later
// unended note-ons of the same note number are ended by that same note-off, as a search would
// find it, so one note-off per note number is enough. Keeps `noteOffs` in step with the list:
// the note-offs go in after every note-on and every event that ends one.
void endUnendedNotes(MidiTrack& track, std::vector<std::ptrdiff_t>& noteOffs) {
  EventList& events = track.events;
  EventList added;
  std::array<std::ptrdiff_t, 256> addedFor;
  addedFor.fill(-1);
  std::vector<std::pair<std::size_t, std::ptrdiff_t>> unended;  // note-on position, added note-off
  for (std::size_t i = 0; i < events.size(); ++i) {
    const MidiEvent& e = *events[i];
    if (!e.startsNote() || noteOffs[i] != kNoNoteOff) continue;
    std::ptrdiff_t& off = addedFor[byteSlot(e.signedData(0))];
    if (off < 0) {
      off = static_cast<std::ptrdiff_t>(added.size());
      added.push_back(makeNoteOff(track, e, events.back()->tick));
    }
    unended.emplace_back(i, off);
  }
  if (added.empty()) return;
  const auto at =
      static_cast<std::ptrdiff_t>(events.size()) - (events.back()->isMeta(kMetaEndOfTrack) ? 1 : 0);
  events.insert(events.begin() + at, added.begin(), added.end());
  noteOffs.insert(noteOffs.begin() + at, added.size(), kNoNoteOff);
  for (const auto& [noteOn, off] : unended) noteOffs[noteOn] = at + off;
  relink(events);
  // Keep every delta the distance from the previous event: the added events and the one after.
  const auto first = static_cast<std::size_t>(at);
  for (std::size_t i = first; i < events.size() && i <= first + added.size(); ++i) {
    events[i]->delta = clampToInt32(int64_t{events[i]->tick} - (i > 0 ? events[i - 1]->tick : 0));
  }
}

// Controller values as the walk over the track meets them: per track, not per channel.
class WorkingControllers {
public:
  void apply(const MidiEvent& e) { values_[byteSlot(e.signedData(0))] = e.signedData(1); }

  // The values of the track's controller numbers, each 0 until changed.
  std::map<int32_t, int32_t> snapshot(const std::set<int32_t>& numbers) const {
    std::map<int32_t, int32_t> state;
    for (int32_t number : numbers) {
      const bool isByte =
          number >= std::numeric_limits<int8_t>::min() && number <= std::numeric_limits<int8_t>::max();
      state.emplace_hint(state.end(), number, isByte ? values_[byteSlot(number)] : 0);
    }
    return state;
  }

private:
  std::array<int32_t, 256> values_{};
};

// Collects notes into chains. Only the newest chain is open; a note that does not join it opens
// the next one. Notes arrive in time order, so under Legato every member started no later than
// the new note, and the new note joins when it starts before the latest end in the chain.
class Grouping {
public:
  explicit Grouping(int32_t splitMethod) : method_(splitMethod) {}

  void add(const std::shared_ptr<Note>& note) {
    if (joinsOpenChain(*note)) {
      tail_->appendToChain(note);
      tail_ = note.get();
      latestEnd_ = std::max(latestEnd_, note->noteOff->tick);
    } else {
      head_ = note.get();
      tail_ = note.get();
      latestEnd_ = note->noteOff->tick;
    }
  }

private:
  bool joinsOpenChain(const Note& note) const {
    if (!head_) return false;
    if (method_ == static_cast<int32_t>(SplitMethod::Chord)) return note.noteOn->tick == head_->noteOn->tick;
    if (method_ == static_cast<int32_t>(SplitMethod::Legato)) return note.noteOn->tick < latestEnd_;
    return false;
  }

  int32_t method_;
  const Note* head_ = nullptr;
  Note* tail_ = nullptr;
  int32_t latestEnd_ = 0;
};

std::shared_ptr<Note> makeNote(const std::shared_ptr<MidiEvent>& noteOn,
                               const std::shared_ptr<MidiEvent>& noteOff) {
  auto note = std::make_shared<Note>();
  note->noteOn = noteOn;
  note->noteOff = noteOff;
  note->pitch = noteOn->signedData(0);
  note->velocity = noteOn->signedData(1);
  note->duration = clampToInt32(int64_t{noteOff->tick} - noteOn->tick);
  note->voice = noteOn->voice;
  noteOn->note = note;
  noteOff->note = note;  // of two notes ended by one event, the later one keeps the link
  return note;
}

// Where neighbouring chain members of rising pitch end on one tick, the earlier member's
// note-off is made to come first. Passes run tail to head until one swaps nothing; only the
// index fields move here, the events follow when the list is sorted by index.
void orderNoteOffsInChains(const std::vector<std::shared_ptr<Note>>& notes) {
  std::vector<const Note*> chain;
  for (const auto& head : notes) {
    if (!head->isHead() || !head->chainNext) continue;
    chain.clear();
    for (const Note* n = head.get(); n; n = n->chainNext.get()) chain.push_back(n);
    for (bool swapped = true; swapped;) {
      swapped = false;
      for (std::size_t i = chain.size() - 1; i-- > 0;) {
        MidiEvent& x = *chain[i]->noteOff;
        MidiEvent& y = *chain[i + 1]->noteOff;
        if (x.tick == y.tick && chain[i]->pitch < chain[i + 1]->pitch && y.index < x.index) {
          std::swap(x.index, y.index);
          swapped = true;
        }
      }
    }
  }
}

}  // namespace

std::vector<std::ptrdiff_t> findNoteOffs(const EventList& events) {
  std::vector<std::ptrdiff_t> found(events.size(), kNoNoteOff);
  std::array<std::ptrdiff_t, 256> nearestEnd;  // per note number, from the right
  nearestEnd.fill(kNoNoteOff);
  for (std::size_t i = events.size(); i-- > 0;) {
    const MidiEvent& e = *events[i];
    const std::size_t number = byteSlot(e.signedData(0));
    if (e.startsNote()) found[i] = nearestEnd[number];
    if (e.endsNote()) nearestEnd[number] = static_cast<std::ptrdiff_t>(i);
  }
  return found;
}

void sortEventsByIndex(MidiTrack& track) {
  EventList& events = track.events;
  // The first event (in list order) carrying each index; an index at or past the list's size
  // could only be reached after every event had been taken.
  std::vector<std::shared_ptr<MidiEvent>*> byIndex(events.size(), nullptr);
  for (auto& e : events) {
    const int32_t index = e->index;
    if (index >= 0 && static_cast<std::size_t>(index) < events.size() && !byIndex[index]) byIndex[index] = &e;
  }
  EventList sorted;
  sorted.reserve(events.size());
  for (auto* e : byIndex) {
    if (!e) break;
    sorted.push_back(std::move(*e));
  }
  events = std::move(sorted);
}

void extractNotes(MidiTrack& track, Diagnostics& diagnostics) {
  auto noteOffs = findNoteOffs(track.events);
  endUnendedNotes(track, noteOffs);
  WorkingControllers controllers;
  Grouping grouping(track.settings.splitMethod);
  for (std::size_t i = 0; i < track.events.size(); ++i) {
    const auto& e = track.events[i];
    if (e->startsNote()) {
      auto note = makeNote(e, track.events[static_cast<std::size_t>(noteOffs[i])]);
      note->controlState = controllers.snapshot(track.controllers);
      diagnostics.print("NoteOn: %d %d %d\n", note->noteOn->tick, note->duration, note->pitch);
      track.notes.push_back(note);
      grouping.add(note);
    } else if (e->kind == EventKind::ControlChange) {
      controllers.apply(*e);
    }
  }
  orderNoteOffsInChains(track.notes);
  sortEventsByIndex(track);
  numberDefinitions(track);
}

}  // namespace rendlow
