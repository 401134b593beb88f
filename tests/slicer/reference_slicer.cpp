#include "slicer/reference_slicer.h"

#include <algorithm>
#include <map>

namespace rendlow::test::reference {

namespace {

void applyControl(std::map<int32_t, int32_t>& state, const MidiEvent& e) {
  if (e.kind == EventKind::ControlChange) state[e.signedData(0)] = e.signedData(1);
}

bool endsNoteNumber(const MidiEvent& e, const MidiEvent& noteOn) {
  const bool ends = e.kind == EventKind::NoteOff || (e.kind == EventKind::NoteOn && e.signedData(1) == 0);
  return ends && e.signedData(0) == noteOn.signedData(0);
}

void renumberAndLink(EventList& events) {
  for (std::size_t i = 0; i < events.size(); ++i) {
    events[i]->index = static_cast<int32_t>(i);
    events[i]->prev = i > 0 ? events[i - 1].get() : nullptr;
    events[i]->next = i + 1 < events.size() ? events[i + 1].get() : nullptr;
  }
}

void endUnendedNotes(MidiTrack& track) {
  EventList& events = track.events;
  for (std::size_t i = 0; i < events.size(); ++i) {
    MidiEvent& e = *events[i];
    if (!(e.kind == EventKind::NoteOn && e.signedData(1) > 0) || findNoteOff(e)) continue;
    auto off = std::make_shared<MidiEvent>();
    off->track = &track;
    off->tick = events.back()->tick;
    off->status = static_cast<uint8_t>(0x80 | (e.status & 0x0F));
    off->kind = EventKind::NoteOff;
    off->length = 2;
    off->data = {e.data[0], 0};
    const bool beforeLast = events.back()->kind == EventKind::Meta && events.back()->metaType == 0x2F;
    const auto at = events.insert(beforeLast ? events.end() - 1 : events.end(), off);
    renumberAndLink(events);
    const auto pos = static_cast<std::size_t>(at - events.begin());
    off->delta = pos > 0 ? off->tick - events[pos - 1]->tick : off->tick;
    if (pos + 1 < events.size()) events[pos + 1]->delta = events[pos + 1]->tick - off->tick;
  }
}

void group(const std::shared_ptr<Note>& n, std::shared_ptr<Note>& open, int32_t method) {
  if (open && method == 1 && open->noteOn->tick == n->noteOn->tick) {
    open->appendToChain(n);
    return;
  }
  if (open && method == 2) {
    for (Note* m = open->chainHead().get(); m; m = m->chainNext.get()) {
      if (m->noteOn->tick <= n->noteOn->tick && n->noteOn->tick < m->noteOff->tick) {
        open->appendToChain(n);
        return;
      }
    }
  }
  open = n;
}

void orderNoteOffs(MidiTrack& track) {
  for (const auto& head : track.notes) {
    if (!head->chainPrev.expired() || !head->chainNext) continue;
    bool swapped = true;
    while (swapped) {
      swapped = false;
      std::vector<Note*> chain;
      for (Note* n = head.get(); n; n = n->chainNext.get()) chain.push_back(n);
      for (std::size_t i = chain.size() - 1; i >= 1; --i) {
        Note* x = chain[i - 1];
        Note* y = chain[i];
        if (x->noteOff->tick == y->noteOff->tick && x->pitch < y->pitch && y->noteOff->index < x->noteOff->index) {
          std::swap(x->noteOff->index, y->noteOff->index);
          swapped = true;
        }
      }
    }
  }
}

}  // namespace

MidiEvent* findNoteOff(MidiEvent& noteOn) {
  for (MidiEvent* e = &noteOn; e; e = e->next) {
    if (endsNoteNumber(*e, noteOn)) return e;
  }
  return nullptr;
}

void sortEventsByIndex(MidiTrack& track) {
  EventList rest = track.events;
  EventList sorted;
  for (int32_t i = 0; !rest.empty(); ++i) {
    const auto found = std::find_if(rest.begin(), rest.end(), [i](const auto& e) { return e->index == i; });
    if (found == rest.end()) break;
    sorted.push_back(*found);
    rest.erase(found);
  }
  track.events = sorted;
}

bool sameNote(Note& later, Note& earlier, MidiTrack& track) {
  const TrackSettings& s = track.settings;
  const auto ta = later.noteOn->tempo.lock();
  const auto tb = earlier.noteOn->tempo.lock();
  const bool tempoEqual = ta && tb && ta->bpm == tb->bpm;
  const int32_t w = s.velocitySplitWidth < 1 ? 32768 : s.velocitySplitWidth;
  bool result = later.pitch == earlier.pitch && later.duration == earlier.duration &&
                earlier.velocity / w == later.velocity / w && (tempoEqual || s.ignoreBpm);
  if (!result || s.ccSplitWidth <= 0) return result;

  std::map<int32_t, int32_t> a = later.controlState;
  std::map<int32_t, int32_t> b = earlier.controlState;
  MidiEvent* ca = later.noteOn->next;
  MidiEvent* cb = earlier.noteOn->next;
  int64_t t = 0;
  if (later.duration <= 0) return true;
  do {
    for (; ca && ca->tick <= later.noteOn->tick + t; ca = ca->next) applyControl(a, *ca);
    for (; cb && cb->tick < earlier.noteOn->tick + t; cb = cb->next) applyControl(b, *cb);
    for (const auto& [number, value] : a) {
      const auto inB = b.find(number);
      if (value / s.ccSplitWidth != (inB == b.end() ? 0 : inB->second) / s.ccSplitWidth) return false;
    }
    // A negative step never reaches the end of the note; it is taken as a single comparison.
    if (s.ccInterval <= 0) return true;
    t += s.ccInterval;
  } while (later.noteOn->tick + t < later.noteOff->tick);
  return true;
}

bool sameSound(Note& note, Note& earlier, MidiTrack& track) {
  auto h = note.chainHead();
  auto g = earlier.chainHead();
  int32_t count = 0;
  for (Note* x = h.get(); x; x = x->chainNext.get()) {
    for (Note* y = g.get(); y; y = y->chainNext.get()) {
      if (sameNote(*x, *y, track) &&
          y->noteOn->tick - g->noteOn->tick == x->noteOn->tick - h->noteOn->tick) {
        ++count;
        break;
      }
    }
  }
  return count == note.chainLength() && count == earlier.chainLength();
}

void numberDefinitions(MidiTrack& track) {
  int32_t nextDefinition = 0;
  int32_t nextSound = 0;
  auto& notes = track.notes;
  for (std::size_t i = 0; i < notes.size(); ++i) {
    Note& p = *notes[i];
    if (p.definition >= 0) continue;
    bool done = false;
    if (i > 0) {
      std::vector<int32_t> excluded;
      int32_t count = 0;
      int32_t matchedSound = -1;
      for (std::size_t j = i; j-- > 0 && !done;) {
        Note& q = *notes[j];
        if (!sameSound(p, q, track)) continue;
        matchedSound = q.sound;
        const bool isExcluded = std::find(excluded.begin(), excluded.end(), q.variant) != excluded.end();
        if (!isExcluded && p.noteOn->tick - q.noteOn->tick > track.settings.multipleThreshold) {
          p.assignDefinition(q.definition, q.sound, false, q.variant);
          done = true;
        } else {
          ++count;
          excluded.push_back(q.variant);
        }
      }
      if (!done && matchedSound >= 0) {
        p.assignDefinition(nextDefinition++, matchedSound, false, count);
        done = true;
      }
    }
    if (!done) p.assignDefinition(nextDefinition++, nextSound++, true, 0);
  }
}

void extractNotes(MidiTrack& track) {
  endUnendedNotes(track);
  std::map<int32_t, int32_t> working;
  for (int32_t c : track.controllers) working[c] = 0;
  std::shared_ptr<Note> open;
  for (const auto& e : track.events) {
    if (e->kind == EventKind::NoteOn && e->signedData(1) > 0) {
      auto n = std::make_shared<Note>();
      n->noteOn = e;
      n->noteOff = track.events[static_cast<std::size_t>(findNoteOff(*e)->index)];
      n->pitch = e->signedData(0);
      n->velocity = e->signedData(1);
      n->duration = n->noteOff->tick - n->noteOn->tick;
      n->voice = e->voice;
      e->note = n;
      n->noteOff->note = n;
      for (int32_t c : track.controllers) n->controlState[c] = working[c];
      track.notes.push_back(n);
      group(n, open, track.settings.splitMethod);
    } else if (e->kind == EventKind::ControlChange) {
      working[e->signedData(0)] = e->signedData(1);
    }
  }
  orderNoteOffs(track);
  sortEventsByIndex(track);
  numberDefinitions(track);
}

namespace {

struct Walk {
  MidiTrack& track;
  EventList layout;
  std::shared_ptr<Note> open;
  std::size_t segmentStart = 0;
  int32_t previousTick = 0;
  int32_t outputTick = 0;
  std::map<const MidiEvent*, const MidiEvent*> sourceOfCopy;

  void emit(const MidiEvent& e, std::size_t position, int32_t delta) {
    auto c = e.copy();
    const bool meta = e.kind == EventKind::Meta;
    const bool tempoOrBeat = e.metaType == 0x51 || e.metaType == 0x58;
    const bool soundStart = position == segmentStart && ((!meta && e.tick > 0) || tempoOrBeat);
    const bool noteOff = e.kind == EventKind::NoteOff || (e.kind == EventKind::NoteOn && e.signedData(1) == 0);
    if (soundStart) {
      c->delta = track.settings.noteInterval;
    } else if (open) {
      c->delta = delta;
    } else {
      c->delta = (noteOff || (!meta && e.tick > 0) || tempoOrBeat) ? delta : 0;
    }
    if (auto tempo = c->tempo.lock()) {
      const MidiEvent* current = tempo->event.get();
      if (current == &e || (sourceOfCopy.contains(current) && sourceOfCopy[current] == &e)) tempo->event = c;
    }
    sourceOfCopy[c.get()] = &e;
    outputTick += c->delta;
    c->tick = outputTick;
    auto n = e.note.lock();
    if (soundStart && n && !n->controlState.empty()) {
      bool first = true;
      for (const auto& [number, value] : n->controlState) {
        auto p = std::make_shared<MidiEvent>();
        p->track = &track;
        p->status = 0xB0;
        p->kind = EventKind::ControlChange;
        p->length = 2;
        p->data = {static_cast<uint8_t>(number), static_cast<uint8_t>(value)};
        p->tick = outputTick;
        p->delta = first ? c->delta : 0;
        first = false;
        p->prev = c->prev;
        p->next = c.get();
        c->prev = p.get();
        layout.push_back(p);
      }
      c->delta = 0;
    }
    layout.push_back(c);
    previousTick = e.tick;
  }
};

}  // namespace

EventList buildRenderLayout(MidiTrack& track) {
  Walk walk{track, {}, {}, 0, 0, 0, {}};
  bool deferred = false;
  std::size_t resume = 0;
  const EventList& events = track.events;
  for (std::size_t pos = 0; pos < events.size(); ++pos) {
    const MidiEvent& e = *events[pos];
    const int32_t delta = e.tick - walk.previousTick;
    auto n = e.note.lock();
    const bool inSound = n && walk.open && walk.open->chainContains(*n);
    if (e.kind == EventKind::NoteOn && e.signedData(1) > 0) {
      if (!n->firstOccurrence) continue;
      if (walk.open) {
        if (inSound) {
          walk.emit(e, pos, delta);
        } else {
          if (!deferred) resume = pos;
          deferred = true;
        }
      } else {
        walk.open = n;
        walk.segmentStart = pos;
        walk.emit(e, pos, delta);
      }
      continue;
    }
    if (walk.open && &e == walk.open->lastNoteOff().get()) {
      walk.open.reset();
      walk.segmentStart = 0;
      if (deferred) {
        auto c = e.copy();
        c->delta = delta;
        walk.outputTick += delta;
        c->tick = walk.outputTick;
        walk.layout.push_back(c);
        deferred = false;
        walk.previousTick = events[resume]->tick;
        pos = resume - 1;
      } else {
        walk.emit(e, pos, delta);
      }
      continue;
    }
    const bool noteOff = e.kind == EventKind::NoteOff || (e.kind == EventKind::NoteOn && e.signedData(1) == 0);
    if (noteOff && !inSound) continue;
    walk.emit(e, pos, delta);
  }
  track.originalEvents = track.events;
  track.events = walk.layout;
  return walk.layout;
}

}  // namespace rendlow::test::reference
