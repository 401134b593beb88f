#include "slicer/note_extraction.h"

#include <algorithm>
#include <array>
#include <limits>

#include "core/track_settings.h"
#include "slicer/definition_numbering.h"
#include "slicer/note.h"

namespace rendlow {

namespace {

// Note numbers and controller numbers are compared as single data bytes.
std::size_t byteSlot(int32_t value) { return static_cast<uint8_t>(value); }

int32_t clampToInt32(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

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
// find it, so one note-off per note number is enough.
void endUnendedNotes(MidiTrack& track) {
  EventList& events = track.events;
  const auto noteOffs = findNoteOffs(events);
  EventList added;
  std::array<bool, 256> ended{};
  for (std::size_t i = 0; i < events.size(); ++i) {
    const MidiEvent& e = *events[i];
    if (!e.startsNote() || noteOffs[i] || ended[byteSlot(e.signedData(0))]) continue;
    ended[byteSlot(e.signedData(0))] = true;
    added.push_back(makeNoteOff(track, e, events.back()->tick));
  }
  if (added.empty()) return;
  const bool beforeEnd = events.back()->isMeta(kMetaEndOfTrack);
  const auto at = events.insert(beforeEnd ? events.end() - 1 : events.end(), added.begin(), added.end());
  relink(events);
  // Keep every delta the distance from the previous event: the added events and the one after.
  const auto first = static_cast<std::size_t>(at - events.begin());
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
      const bool isByte = number >= std::numeric_limits<int8_t>::min() && number <= std::numeric_limits<int8_t>::max();
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

std::shared_ptr<Note> makeNote(const std::shared_ptr<MidiEvent>& noteOn, const std::shared_ptr<MidiEvent>& noteOff) {
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

std::vector<std::shared_ptr<MidiEvent>> findNoteOffs(const EventList& events) {
  std::vector<std::shared_ptr<MidiEvent>> found(events.size());
  std::array<const std::shared_ptr<MidiEvent>*, 256> nearestEnd{};  // per note number, from the right
  for (std::size_t i = events.size(); i-- > 0;) {
    const MidiEvent& e = *events[i];
    const std::size_t number = byteSlot(e.signedData(0));
    if (e.startsNote() && nearestEnd[number]) found[i] = *nearestEnd[number];
    if (e.endsNote()) nearestEnd[number] = &events[i];
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
  endUnendedNotes(track);
  const auto noteOffs = findNoteOffs(track.events);
  WorkingControllers controllers;
  Grouping grouping(track.settings.splitMethod);
  for (std::size_t i = 0; i < track.events.size(); ++i) {
    const auto& e = track.events[i];
    if (e->startsNote()) {
      auto note = makeNote(e, noteOffs[i]);
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
