#pragma once

// The slicing stages written as plainly as they are described, step by step and without any
// index or shortcut: forward walks for note-offs, a repeated search for sorting, the backward
// scan over every earlier note for numbering, chain walks for every layout decision. Slow on
// purpose; the differential test holds the engine to the same results.

#include <algorithm>
#include <map>
#include <span>
#include <vector>

#include "midi/song.h"
#include "slicer/track_settings.h"

namespace rendlow::test::reference {

struct Note {
  int32_t on = 0, off = 0;  // positions in the extracted events
  int32_t tick = 0, duration = 0, pitch = 0, velocity = 0, voice = 0;
  std::map<int32_t, int32_t> controllers;  // every controller of the track when the note started
  int32_t prev = kNone, next = kNone, definition = -1, sound = -1, variant = 0;
  bool firstOccurrence = false;
};

struct Track {
  std::span<const Tempo> tempos;
  TrackSettings s;
  EventList events;
  std::vector<Note> notes;

  std::vector<int32_t> chainOf(int32_t n) const {
    while (notes[n].prev != kNone) n = notes[n].prev;
    std::vector<int32_t> chain;
    for (; n != kNone; n = notes[n].next) chain.push_back(n);
    return chain;
  }

  int32_t findNoteOff(std::size_t on) const {
    for (std::size_t i = on; i < events.size(); ++i) {
      if (events[i].endsNote() && events[i].head[0] == events[on].head[0]) return static_cast<int32_t>(i);
    }
    return kNone;
  }

  void endUnendedNotes() {
    for (std::size_t i = 0; i < events.size(); ++i) {
      if (!events[i].startsNote() || findNoteOff(i) != kNone) continue;
      MidiEvent off{.tick = events.back().tick, .length = 2, .status = static_cast<uint8_t>(0x80 | (events[i].status & 0x0F)),
                    .kind = EventKind::NoteOff, .head = {events[i].head[0], 0}};
      const std::size_t at = events.back().isMeta(kMetaEndOfTrack) ? events.size() - 1 : events.size();
      events.insert(events.begin() + static_cast<std::ptrdiff_t>(at), off);
      events[at].delta = at > 0 ? off.tick - events[at - 1].tick : off.tick;
      if (at + 1 < events.size()) events[at + 1].delta = events[at + 1].tick - off.tick;
      for (std::size_t k = 0; k < events.size(); ++k) events[k].index = static_cast<int32_t>(k);
    }
  }

  // Chord: the open chain's head has the note's tick. Legato: some member sounds at its tick.
  void group(int32_t n, int32_t open) {
    bool joins = false;
    for (const int32_t m : open == kNone ? std::vector<int32_t>{} : chainOf(open)) {
      if (s.splitMethod == 1) joins = notes[chainOf(open)[0]].tick == notes[n].tick;
      if (s.splitMethod == 2 && notes[m].tick <= notes[n].tick && notes[n].tick < notes[m].tick + notes[m].duration) joins = true;
    }
    if (joins) notes[open].next = n, notes[n].prev = open;
  }

  // Within a chain, neighbours of rising pitch whose note-offs share a tick end in chain order.
  void orderNoteOffs() {
    for (std::size_t h = 0; h < notes.size(); ++h) {
      if (notes[h].prev != kNone) continue;
      const std::vector<int32_t> chain = chainOf(static_cast<int32_t>(h));
      for (bool swapped = true; swapped;) {
        swapped = false;
        for (std::size_t i = chain.size() - 1; i >= 1; --i) {
          MidiEvent& x = events[notes[chain[i - 1]].off];
          MidiEvent& y = events[notes[chain[i]].off];
          if (x.tick == y.tick && notes[chain[i - 1]].pitch < notes[chain[i]].pitch && y.index < x.index) {
            std::swap(x.index, y.index);
            swapped = true;
          }
        }
      }
    }
  }

  static void apply(std::map<int32_t, int32_t>& values, const MidiEvent& e) {
    if (e.kind == EventKind::ControlChange) values[e.signedData(0)] = e.signedData(1);
  }

  bool sameNote(const Note& later, const Note& earlier) const {
    const int32_t ta = events[later.on].tempo, tb = events[earlier.on].tempo;
    const bool tempoEqual = ta != kNone && tb != kNone && tempos[ta].bpm == tempos[tb].bpm;
    const int32_t w = s.velocitySplitWidth < 1 ? 32768 : s.velocitySplitWidth;
    const bool alike = later.pitch == earlier.pitch && later.duration == earlier.duration &&
                       earlier.velocity / w == later.velocity / w && (tempoEqual || s.ignoreBpm);
    if (!alike || s.ccSplitWidth <= 0 || later.duration <= 0) return alike;
    std::map<int32_t, int32_t> a = later.controllers, b = earlier.controllers;
    std::size_t ca = later.on + 1, cb = earlier.on + 1;
    for (int64_t t = 0; t < later.duration; t += s.ccInterval) {
      for (; ca < events.size() && events[ca].tick <= later.tick + t; ++ca) apply(a, events[ca]);
      for (; cb < events.size() && events[cb].tick < earlier.tick + t; ++cb) apply(b, events[cb]);
      for (const auto& [number, value] : a) {
        if (value / s.ccSplitWidth != (b.contains(number) ? b.at(number) : 0) / s.ccSplitWidth) return false;
      }
      if (s.ccInterval <= 0) break;  // compared once: a negative step would never reach the end
    }
    return true;
  }

  // Every note of each chain finds a note alike at its own distance from the head in the other,
  // and both chains count as many matches.
  bool sameSound(int32_t note, int32_t earlier) const {
    const std::vector<int32_t> x = chainOf(note), y = chainOf(earlier);
    std::size_t count = 0;
    for (const int32_t a : x) {
      for (const int32_t b : y) {
        if (notes[b].tick - notes[y[0]].tick == notes[a].tick - notes[x[0]].tick && sameNote(notes[a], notes[b])) {
          ++count;
          break;
        }
      }
    }
    return count == x.size() && count == y.size();
  }

  void assign(int32_t head, int32_t definition, int32_t sound, bool first, int32_t variant) {
    for (const int32_t n : chainOf(head)) {
      notes[n].definition = definition, notes[n].sound = sound, notes[n].firstOccurrence = first, notes[n].variant = variant;
    }
  }

  // Each chain looks back over every earlier note for its sound, nearest first.
  void numberDefinitions() {
    int32_t nextDefinition = 0, nextSound = 0;
    for (int32_t p = 0; p < static_cast<int32_t>(notes.size()); ++p) {
      if (notes[p].definition >= 0) continue;
      std::vector<int32_t> excluded;
      int32_t count = 0, matchedSound = -1;
      bool done = false;
      for (int32_t q = p - 1; q >= 0 && !done; --q) {
        if (!sameSound(p, q)) continue;
        matchedSound = notes[q].sound;
        if (std::find(excluded.begin(), excluded.end(), notes[q].variant) == excluded.end() &&
            notes[p].tick - notes[q].tick > s.multipleThreshold) {
          assign(p, notes[q].definition, notes[q].sound, false, notes[q].variant);
          done = true;
        } else {
          ++count;
          excluded.push_back(notes[q].variant);
        }
      }
      if (!done) assign(p, nextDefinition++, matchedSound >= 0 ? matchedSound : nextSound++, matchedSound < 0, matchedSound >= 0 ? count : 0);
    }
  }

  void extractNotes(const MidiTrack& source) {
    events = source.events;
    endUnendedNotes();
    std::map<int32_t, int32_t> working;
    for (const int32_t c : source.controllers) working[c] = 0;
    for (std::size_t i = 0; i < events.size(); ++i) {
      const MidiEvent& e = events[i];
      if (e.startsNote()) {
        const int32_t off = findNoteOff(i);
        notes.push_back({static_cast<int32_t>(i), off, e.tick, events[off].tick - e.tick, e.signedData(0), e.signedData(1), e.voice, working});
        group(static_cast<int32_t>(notes.size()) - 1, static_cast<int32_t>(notes.size()) - 2);
      }
      apply(working, e);
    }
    orderNoteOffs();
    EventList sorted;  // each event goes where its index says, found by searching the list
    for (int32_t i = 0; i < static_cast<int32_t>(events.size()); ++i)
      sorted.push_back(*std::find_if(events.begin(), events.end(), [i](const MidiEvent& e) { return e.index == i; }));
    for (std::size_t k = 0; k < notes.size(); ++k) {
      notes[k].on = events[notes[k].on].index, notes[k].off = events[notes[k].off].index;
      sorted[notes[k].on].note = sorted[notes[k].off].note = static_cast<int32_t>(k);  // a shared note-off: the later
    }
    events = sorted;
    numberDefinitions();
  }

  // Every first occurrence laid out once: a sound met while another is open is postponed, and the
  // walk goes back to it when the open sound ends. Fills `followed` with each tempo change's last copy.
  EventList buildRenderLayout(int32_t trackIndex, std::map<int32_t, int32_t>& followed) const {
    EventList layout;
    int32_t open = kNone;
    std::size_t segmentStart = 0, resume = 0;
    bool deferred = false;
    int64_t previousTick = 0, outputTick = 0;
    const auto inOpenSound = [&](int32_t note) {
      const std::vector<int32_t> chain = open == kNone || note == kNone ? std::vector<int32_t>{} : chainOf(open);
      return std::find(chain.begin(), chain.end(), note) != chain.end();
    };
    const auto copy = [&](const MidiEvent& e, int64_t delta) {
      MidiEvent c = e;
      c.index = c.voice = 0;
      c.delta = static_cast<int32_t>(delta);
      c.tick = static_cast<int32_t>(outputTick += delta);
      return c;
    };
    const auto emit = [&](const MidiEvent& e, std::size_t position, int64_t delta) {
      const bool tempoOrBeat = e.metaType == kMetaTempo || e.metaType == kMetaTimeSignature;
      const bool keepsDistance = (e.kind != EventKind::Meta && e.tick > 0) || tempoOrBeat;
      const bool soundStart = position == segmentStart && keepsDistance;
      MidiEvent c = copy(e, soundStart ? s.noteInterval : open != kNone || e.endsNote() || keepsDistance ? delta : 0);
      const std::map<int32_t, int32_t> none;
      const std::map<int32_t, int32_t>& values = soundStart && e.note != kNone ? notes[e.note].controllers : none;
      for (auto v = values.begin(); v != values.end(); ++v) {
        layout.push_back({.tick = c.tick, .delta = v == values.begin() ? c.delta : 0, .length = 2, .status = 0xB0,
                          .kind = EventKind::ControlChange, .head = {static_cast<uint8_t>(v->first), static_cast<uint8_t>(v->second)}});
      }
      if (!values.empty()) c.delta = 0;
      if (e.tempo != kNone && tempos[e.tempo].track == trackIndex && tempos[e.tempo].event == static_cast<int32_t>(position))
        followed[e.tempo] = static_cast<int32_t>(layout.size());
      layout.push_back(c);
      previousTick = e.tick;
    };
    for (std::size_t pos = 0; pos < events.size(); ++pos) {
      const MidiEvent& e = events[pos];
      const int64_t delta = e.tick - previousTick;
      int32_t lastOff = kNone;
      for (const int32_t n : open == kNone ? std::vector<int32_t>{} : chainOf(open)) lastOff = std::max(lastOff, notes[n].off);
      if (e.startsNote() && !notes[e.note].firstOccurrence) continue;
      if (e.startsNote() && open == kNone) {
        open = e.note;
        segmentStart = pos;
        emit(e, pos, delta);
      } else if (e.startsNote() && !inOpenSound(e.note)) {
        if (!deferred) resume = pos;
        deferred = true;
      } else if (static_cast<int32_t>(pos) == lastOff) {
        open = kNone;
        segmentStart = 0;
        if (!deferred) emit(e, pos, delta);
        if (!deferred) continue;
        layout.push_back(copy(e, delta));
        deferred = false;
        previousTick = events[resume].tick;
        pos = resume - 1;
      } else if (!e.endsNote() || inOpenSound(e.note)) {
        emit(e, pos, delta);
      }
    }
    return layout;
  }
};

}  // namespace rendlow::test::reference
