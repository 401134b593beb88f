#include "reference_slicer.h"

#include <algorithm>

namespace rendlow::test::reference {

namespace {

bool endsNumber(const MidiEvent& e, const MidiEvent& noteOn) { return e.endsNote() && e.head[0] == noteOn.head[0]; }

int32_t findNoteOff(const EventList& events, std::size_t noteOn) {
  for (std::size_t i = noteOn; i < events.size(); ++i) {
    if (endsNumber(events[i], events[noteOn])) return static_cast<int32_t>(i);
  }
  return kNone;
}

void endUnendedNotes(EventList& events) {
  for (std::size_t i = 0; i < events.size(); ++i) {
    if (!events[i].startsNote() || findNoteOff(events, i) != kNone) continue;
    MidiEvent off;
    off.tick = events.back().tick;
    off.status = static_cast<uint8_t>(0x80 | (events[i].status & 0x0F));
    off.kind = EventKind::NoteOff;
    off.length = 2;
    off.head = {events[i].head[0], 0};
    const auto at = events.back().isMeta(kMetaEndOfTrack) ? events.size() - 1 : events.size();
    events.insert(events.begin() + static_cast<std::ptrdiff_t>(at), off);
    events[at].delta = at > 0 ? off.tick - events[at - 1].tick : off.tick;
    if (at + 1 < events.size()) events[at + 1].delta = events[at + 1].tick - off.tick;
    for (std::size_t k = 0; k < events.size(); ++k) events[k].index = static_cast<int32_t>(k);
  }
}

int32_t headOf(const std::vector<Note>& notes, int32_t n) {
  while (notes[n].prev != kNone) n = notes[n].prev;
  return n;
}

std::vector<int32_t> chainOf(const std::vector<Note>& notes, int32_t n) {
  std::vector<int32_t> chain;
  for (n = headOf(notes, n); n != kNone; n = notes[n].next) chain.push_back(n);
  return chain;
}

void group(std::vector<Note>& notes, int32_t n, int32_t& open, int32_t method) {
  bool joins = false;
  if (open != kNone && method == 1) joins = notes[headOf(notes, open)].tick == notes[n].tick;
  if (open != kNone && method == 2) {
    for (const int32_t m : chainOf(notes, open)) {
      if (notes[m].tick <= notes[n].tick && notes[n].tick < notes[m].tick + notes[m].duration) joins = true;
    }
  }
  if (joins) {
    notes[open].next = n;
    notes[n].prev = open;
  }
  open = n;
}

// Within a chain, neighbours of rising pitch whose note-offs share a tick end in chain order.
void orderNoteOffs(const std::vector<Note>& notes, EventList& events) {
  for (std::size_t h = 0; h < notes.size(); ++h) {
    if (notes[h].prev != kNone || notes[h].next == kNone) continue;
    const std::vector<int32_t> chain = chainOf(notes, static_cast<int32_t>(h));
    for (bool swapped = true; swapped;) {
      swapped = false;
      for (std::size_t i = chain.size() - 1; i >= 1; --i) {
        const Note& x = notes[chain[i - 1]];
        const Note& y = notes[chain[i]];
        MidiEvent& xOff = events[x.off];
        MidiEvent& yOff = events[y.off];
        if (xOff.tick == yOff.tick && x.pitch < y.pitch && yOff.index < xOff.index) {
          std::swap(xOff.index, yOff.index);
          swapped = true;
        }
      }
    }
  }
}

void apply(std::map<int32_t, int32_t>& values, const MidiEvent& e) {
  if (e.kind == EventKind::ControlChange) values[e.signedData(0)] = e.signedData(1);
}

struct Numbering {
  const Track& track;
  const TrackSettings& s;
  std::span<const Tempo> tempos;

  bool sameNote(const Note& later, const Note& earlier) const {
    const int32_t ta = track.events[later.on].tempo;
    const int32_t tb = track.events[earlier.on].tempo;
    const bool tempoEqual = ta != kNone && tb != kNone && tempos[ta].bpm == tempos[tb].bpm;
    const int32_t w = s.velocitySplitWidth < 1 ? 32768 : s.velocitySplitWidth;
    const bool alike = later.pitch == earlier.pitch && later.duration == earlier.duration &&
                       earlier.velocity / w == later.velocity / w && (tempoEqual || s.ignoreBpm);
    if (!alike || s.ccSplitWidth <= 0 || later.duration <= 0) return alike;
    std::map<int32_t, int32_t> a = later.controllers;
    std::map<int32_t, int32_t> b = earlier.controllers;
    std::size_t ca = later.on + 1;
    std::size_t cb = earlier.on + 1;
    int64_t t = 0;
    do {
      for (; ca < track.events.size() && track.events[ca].tick <= later.tick + t; ++ca) apply(a, track.events[ca]);
      for (; cb < track.events.size() && track.events[cb].tick < earlier.tick + t; ++cb) apply(b, track.events[cb]);
      for (const auto& [number, value] : a) {
        if (value / s.ccSplitWidth != (b.contains(number) ? b.at(number) : 0) / s.ccSplitWidth) return false;
      }
      if (s.ccInterval <= 0) return true;  // a negative step is taken as a single comparison
      t += s.ccInterval;
    } while (later.tick + t < later.tick + int64_t{later.duration});
    return true;
  }

  // Every note of each chain finds a note alike at its own distance from the head in the other,
  // and both chains count as many matches.
  bool sameSound(int32_t note, int32_t earlier) const {
    const std::vector<int32_t> x = chainOf(track.notes, note);
    const std::vector<int32_t> y = chainOf(track.notes, earlier);
    std::size_t count = 0;
    for (const int32_t a : x) {
      for (const int32_t b : y) {
        if (track.notes[b].tick - track.notes[y[0]].tick == track.notes[a].tick - track.notes[x[0]].tick &&
            sameNote(track.notes[a], track.notes[b])) {
          ++count;
          break;
        }
      }
    }
    return count == x.size() && count == y.size();
  }
};

void assign(std::vector<Note>& notes, int32_t head, int32_t definition, int32_t sound, bool first, int32_t variant) {
  for (const int32_t n : chainOf(notes, head)) {
    notes[n].definition = definition;
    notes[n].sound = sound;
    notes[n].firstOccurrence = first;
    notes[n].variant = variant;
  }
}

void numberDefinitions(Track& track, const TrackSettings& s, std::span<const Tempo> tempos) {
  const Numbering numbering{track, s, tempos};
  std::vector<Note>& notes = track.notes;
  int32_t nextDefinition = 0;
  int32_t nextSound = 0;
  for (int32_t p = 0; p < static_cast<int32_t>(notes.size()); ++p) {
    if (notes[p].definition >= 0) continue;
    std::vector<int32_t> excluded;
    int32_t count = 0;
    int32_t matchedSound = -1;
    bool done = false;
    for (int32_t q = p - 1; q >= 0 && !done; --q) {
      if (!numbering.sameSound(p, q)) continue;
      matchedSound = notes[q].sound;
      const bool isExcluded = std::find(excluded.begin(), excluded.end(), notes[q].variant) != excluded.end();
      if (!isExcluded && notes[p].tick - notes[q].tick > s.multipleThreshold) {
        assign(notes, p, notes[q].definition, notes[q].sound, false, notes[q].variant);
        done = true;
      } else {
        ++count;
        excluded.push_back(notes[q].variant);
      }
    }
    if (!done && matchedSound >= 0) assign(notes, p, nextDefinition++, matchedSound, false, count);
    if (!done && matchedSound < 0) assign(notes, p, nextDefinition++, nextSound++, true, 0);
  }
}

}  // namespace

Track extractNotes(const MidiTrack& source, const TrackSettings& settings, std::span<const Tempo> tempos) {
  Track track{source.events, {}};
  EventList& events = track.events;
  endUnendedNotes(events);
  std::map<int32_t, int32_t> working;
  for (const int32_t c : source.controllers) working[c] = 0;
  int32_t open = kNone;
  for (std::size_t i = 0; i < events.size(); ++i) {
    const MidiEvent& e = events[i];
    if (e.startsNote()) {
      Note n;
      n.on = static_cast<int32_t>(i);
      n.off = findNoteOff(events, i);
      n.tick = e.tick;
      n.pitch = e.signedData(0);
      n.velocity = e.signedData(1);
      n.duration = events[n.off].tick - e.tick;
      n.voice = e.voice;
      n.controllers = working;
      track.notes.push_back(n);
      group(track.notes, static_cast<int32_t>(track.notes.size() - 1), open, settings.splitMethod);
    }
    apply(working, e);
  }
  orderNoteOffs(track.notes, events);
  // Each event goes where its index says, found by searching the list for every position.
  EventList sorted;
  for (int32_t i = 0; i < static_cast<int32_t>(events.size()); ++i) {
    sorted.push_back(*std::find_if(events.begin(), events.end(), [i](const MidiEvent& e) { return e.index == i; }));
  }
  for (Note& n : track.notes) {
    n.on = events[n.on].index;
    n.off = events[n.off].index;
  }
  events = sorted;
  for (std::size_t k = 0; k < track.notes.size(); ++k) {
    events[track.notes[k].on].note = static_cast<int32_t>(k);
    events[track.notes[k].off].note = static_cast<int32_t>(k);  // a note-off ending two notes: the later
  }
  numberDefinitions(track, settings, tempos);
  return track;
}

EventList buildRenderLayout(const Track& track, int32_t trackIndex, const TrackSettings& settings,
                            std::span<const Tempo> tempos, std::map<int32_t, int32_t>& followedTempos) {
  const EventList& events = track.events;
  EventList layout;
  int32_t open = kNone;
  std::size_t segmentStart = 0;
  bool deferred = false;
  std::size_t resume = 0;
  int64_t previousTick = 0;
  int64_t outputTick = 0;
  const auto inOpenSound = [&](int32_t note) {
    if (open == kNone || note == kNone) return false;
    const std::vector<int32_t> chain = chainOf(track.notes, open);
    return std::find(chain.begin(), chain.end(), note) != chain.end();
  };
  const auto emit = [&](const MidiEvent& e, std::size_t position, int64_t delta) {
    MidiEvent c = e;
    c.index = 0;
    c.voice = 0;
    const bool tempoOrBeat = e.metaType == kMetaTempo || e.metaType == kMetaTimeSignature;
    const bool keepsDistance = (e.kind != EventKind::Meta && e.tick > 0) || tempoOrBeat;
    const bool soundStart = position == segmentStart && keepsDistance;
    c.delta = static_cast<int32_t>(soundStart ? settings.noteInterval
                                   : open != kNone || e.endsNote() || keepsDistance ? delta : 0);
    outputTick += c.delta;
    c.tick = static_cast<int32_t>(outputTick);
    if (soundStart && e.note != kNone) {
      const std::map<int32_t, int32_t>& values = track.notes[e.note].controllers;
      for (auto v = values.begin(); v != values.end(); ++v) {
        MidiEvent preset;
        preset.tick = c.tick;
        preset.delta = v == values.begin() ? c.delta : 0;
        preset.status = 0xB0;
        preset.kind = EventKind::ControlChange;
        preset.length = 2;
        preset.head = {static_cast<uint8_t>(v->first), static_cast<uint8_t>(v->second)};
        layout.push_back(preset);
      }
      if (!values.empty()) c.delta = 0;
    }
    if (e.tempo != kNone && tempos[e.tempo].track == trackIndex && tempos[e.tempo].event == static_cast<int32_t>(position))
      followedTempos[e.tempo] = static_cast<int32_t>(layout.size());
    layout.push_back(c);
    previousTick = e.tick;
  };
  for (std::size_t pos = 0; pos < events.size(); ++pos) {
    const MidiEvent& e = events[pos];
    const int64_t delta = e.tick - previousTick;
    if (e.startsNote()) {
      if (!track.notes[e.note].firstOccurrence) continue;
      if (open == kNone) {
        open = e.note;
        segmentStart = pos;
        emit(e, pos, delta);
      } else if (inOpenSound(e.note)) {
        emit(e, pos, delta);
      } else if (!deferred) {
        deferred = true;
        resume = pos;
      }
      continue;
    }
    int32_t lastOff = kNone;
    if (open != kNone) {
      for (const int32_t n : chainOf(track.notes, open)) lastOff = std::max(lastOff, track.notes[n].off);
    }
    if (open != kNone && static_cast<int32_t>(pos) == lastOff) {
      open = kNone;
      segmentStart = 0;
      if (!deferred) {
        emit(e, pos, delta);
        continue;
      }
      MidiEvent c = e;
      c.index = 0;
      c.voice = 0;
      c.delta = static_cast<int32_t>(delta);
      outputTick += delta;
      c.tick = static_cast<int32_t>(outputTick);
      layout.push_back(c);
      deferred = false;
      previousTick = events[resume].tick;
      pos = resume - 1;
      continue;
    }
    if (!e.endsNote() || inOpenSound(e.note)) emit(e, pos, delta);
  }
  return layout;
}

}  // namespace rendlow::test::reference
