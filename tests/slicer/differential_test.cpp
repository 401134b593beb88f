// Holds the engine to the slicing stages written as plainly as they are described, step by step
// and without any index or shortcut (forward walks for note-offs, a repeated search for sorting,
// the backward scan over every earlier note for numbering, chain walks for every layout decision),
// on 300 random tracks: the same notes, chains, numbers, event order, layout and tempo links.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "slicer/note_extraction.h"
#include "slicer/render_layout.h"
#include "support/midi_builder.h"
#include "support/read_song.h"
#include "support/song_text.h"

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
  std::vector<int32_t> noteOf;  // per event, after sorting
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
      MidiEvent off;
      off.tick = events.back().tick;
      off.length = 2;
      off.status = static_cast<uint8_t>(0x80 | (events[i].status & 0x0F));
      off.kind = EventKind::NoteOff;
      off.head = {events[i].head[0], 0};
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
      if (s.splitMethod == 2 && notes[m].tick <= notes[n].tick &&
          notes[n].tick < notes[m].tick + notes[m].duration)
        joins = true;
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
        if (notes[b].tick - notes[y[0]].tick == notes[a].tick - notes[x[0]].tick &&
            sameNote(notes[a], notes[b])) {
          ++count;
          break;
        }
      }
    }
    return count == x.size() && count == y.size();
  }

  void assign(int32_t head, int32_t definition, int32_t sound, bool first, int32_t variant) {
    for (const int32_t n : chainOf(head)) {
      notes[n].definition = definition, notes[n].sound = sound, notes[n].firstOccurrence = first,
      notes[n].variant = variant;
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
      if (!done)
        assign(p, nextDefinition++, matchedSound >= 0 ? matchedSound : nextSound++, matchedSound < 0,
               matchedSound >= 0 ? count : 0);
    }
  }

  void extractNotes(const MidiTrack& source) {
    events = source.events;
    endUnendedNotes();
    // A controller starts at its General MIDI power-on value until the track sets it.
    const std::map<int32_t, int32_t> powerOn = {{7, 100},  {8, 64},   {10, 64},   {11, 127},
                                                {98, 127}, {99, 127}, {100, 127}, {101, 127}};
    std::map<int32_t, int32_t> working;
    for (const int32_t c : source.controllers) working[c] = powerOn.contains(c) ? powerOn.at(c) : 0;
    for (std::size_t i = 0; i < events.size(); ++i) {
      const MidiEvent& e = events[i];
      if (e.startsNote()) {
        const int32_t off = findNoteOff(i);
        notes.push_back({static_cast<int32_t>(i), off, e.tick, events[off].tick - e.tick, e.signedData(0),
                         e.signedData(1), e.voice, working});
        group(static_cast<int32_t>(notes.size()) - 1, static_cast<int32_t>(notes.size()) - 2);
      }
      apply(working, e);
    }
    orderNoteOffs();
    EventList sorted;  // each event goes where its index says, found by searching the list
    for (int32_t i = 0; i < static_cast<int32_t>(events.size()); ++i)
      sorted.push_back(
          *std::find_if(events.begin(), events.end(), [i](const MidiEvent& e) { return e.index == i; }));
    noteOf.assign(events.size(), kNone);
    for (std::size_t k = 0; k < notes.size(); ++k) {
      notes[k].on = events[notes[k].on].index, notes[k].off = events[notes[k].off].index;
      noteOf[notes[k].on] = noteOf[notes[k].off] = static_cast<int32_t>(k);  // a shared note-off: the later
    }
    events = sorted;
    numberDefinitions();
  }

  // Every first occurrence laid out once: a sound met while another is open is postponed, and the
  // walk goes back to it when the open sound ends. Fills `followed` with each tempo change's last copy.
  LaidOutTrack buildRenderLayout(int32_t trackIndex, std::map<int32_t, int32_t>& followed) const {
    LaidOutTrack layout;
    int32_t open = kNone;
    std::size_t segmentStart = 0, resume = 0;
    bool deferred = false;
    int64_t previousTick = 0, outputTick = 0;
    const auto inOpenSound = [&](int32_t note) {
      const std::vector<int32_t> chain =
          open == kNone || note == kNone ? std::vector<int32_t>{} : chainOf(open);
      return std::find(chain.begin(), chain.end(), note) != chain.end();
    };
    const auto emit = [&](const MidiEvent& e, std::size_t position, int64_t delta) {
      const bool tempoOrBeat = e.metaType == kMetaTempo || e.metaType == kMetaTimeSignature;
      const bool keepsDistance = (e.kind != EventKind::Meta && e.tick > 0) || tempoOrBeat;
      const bool soundStart = position == segmentStart && keepsDistance;
      outputTick += soundStart                                       ? s.noteInterval
                    : open != kNone || e.endsNote() || keepsDistance ? delta
                                                                     : 0;
      const std::map<int32_t, int32_t> none;
      const std::map<int32_t, int32_t>& values =
          soundStart && noteOf[position] != kNone ? notes[noteOf[position]].controllers : none;
      for (const auto& [number, value] : values) {
        EventContent preset;
        preset.length = 2;
        preset.status = static_cast<uint8_t>(0xB0 | (e.status & 0x0F));
        preset.kind = EventKind::ControlChange;
        preset.head = {static_cast<uint8_t>(number), static_cast<uint8_t>(value)};
        layout.append(preset, outputTick, kNone, kNone);
      }
      if (e.tempo != kNone && tempos[e.tempo].track == trackIndex &&
          tempos[e.tempo].event == static_cast<int32_t>(position))
        followed[e.tempo] = static_cast<int32_t>(layout.events.size());
      layout.append(e, outputTick, e.tempo, noteOf[position]);
      previousTick = e.tick;
    };
    for (std::size_t pos = 0; pos < events.size(); ++pos) {
      const MidiEvent& e = events[pos];
      const int64_t delta = e.tick - previousTick;
      int32_t lastOff = kNone;
      for (const int32_t n : open == kNone ? std::vector<int32_t>{} : chainOf(open))
        lastOff = std::max(lastOff, notes[n].off);
      const int32_t note = noteOf[pos];
      if (e.startsNote() && !notes[note].firstOccurrence) continue;
      if (e.startsNote() && open == kNone) {
        open = note;
        segmentStart = pos;
        emit(e, pos, delta);
      } else if (e.startsNote() && !inOpenSound(note)) {
        if (!deferred) resume = pos;
        deferred = true;
      } else if (static_cast<int32_t>(pos) == lastOff) {
        open = kNone;
        segmentStart = 0;
        if (!deferred) emit(e, pos, delta);
        if (!deferred) continue;
        layout.append(e, outputTick += delta, e.tempo, note);
        deferred = false;
        previousTick = events[resume].tick;
        pos = resume - 1;
      } else if (!e.endsNote() || inOpenSound(note)) {
        emit(e, pos, delta);
      }
    }
    return layout;
  }
};

}  // namespace rendlow::test::reference

namespace rendlow::test {
namespace {

// A conductor (empty, or holding tempo changes) and one random track of chords, phrases and long
// overlapping runs over a few motifs, with controllers, program changes, zero-velocity note-offs,
// notes never ended, sometimes tempo changes of its own and sometimes no End of Track.
class RandomSong {
public:
  explicit RandomSong(uint32_t seed) : rng_(seed) {}

  MidiBuilder make(TrackSettings& s) {
    s.splitMethod = pick({0, 1, 1, 2, 2, 2, 5});
    s.multipleThreshold = pick({0, 0, 15, 100, 480, 5000});
    s.velocitySplitWidth = pick({0, 1, 16, 32, 64});
    s.ccSplitWidth = pick({0, 0, 8, 32, 64});
    s.ccInterval = pick({0, 0, 30, 120, 7, -60});
    s.ignoreBpm = rng_() % 4 == 0;
    s.noteInterval = pick({960, 480, 0});
    MidiBuilder builder;
    const unsigned tempoPlace = rng_() % 3;
    if (tempoPlace == 1)
      builder.track().tempoBpm(0, 120.0).tempoBpm(pick({0, 500, 3000}), pick({120, 140})).endOfTrack(3000);
    if (tempoPlace != 1) builder.track().endOfTrack(0);
    for (int i = 0, n = tempoPlace == 2 ? 1 + static_cast<int>(rng_() % 4) : 0; i < n; ++i)
      add(pick({0, 0, 240, 1000, 5000}), 'T', pick({1200, 1205, 1400}));
    std::vector<std::vector<Planned>> motifs(1 + rng_() % 4);
    for (auto& motif : motifs) motif = makeMotif();
    int32_t tick = pick({0, 0, 1, 10});
    for (int i = 0, placements = 5 + static_cast<int>(rng_() % 36); i < placements; ++i) {
      tick += pick({0, 0, 30, 120, 240, 480, 960, 2000});
      for (const Planned& n : rng_() % 4 == 0 ? makeMotif() : motifs[rng_() % motifs.size()]) {
        add(tick + n.offset, 'N', n.pitch, n.velocity, n.channel);
        if (n.ending == 0) add(tick + n.offset + n.duration, 'O', n.pitch, 0, n.channel);
        if (n.ending == 1) add(tick + n.offset + n.duration, 'N', n.pitch, 0, (n.channel + 1) % 3);
      }
      if (rng_() % 3 == 0)
        add(tick + pick({0, 0, 1, 30, 120, 400}), 'C', pick({1, 7, 10}), rng_() % 128, rng_() % 3);
      if (rng_() % 8 == 0) add(tick + pick({0, 50}), 'P', rng_() % 8);
    }
    std::stable_sort(events_.begin(), events_.end(),
                     [](const Event& a, const Event& b) { return a.tick < b.tick; });
    TrackBuilder& track = builder.track();
    for (const Event& e : events_) {
      if (e.what == 'T') track.tempoBpm(e.tick, e.a / 10.0);
      if (e.what == 'N') track.noteOn(e.tick, e.c, e.a, e.b);
      if (e.what == 'O') track.noteOff(e.tick, e.c, e.a);
      if (e.what == 'C') track.controlChange(e.tick, e.c, e.a, e.b);
      if (e.what == 'P') track.programChange(e.tick, 0, e.a);
    }
    if (rng_() % 10 < 7) track.endOfTrack(events_.empty() ? 0 : events_.back().tick + pick({0, 10, 960}));
    return builder;
  }

private:
  struct Planned {
    int32_t offset, duration;
    int pitch, velocity, channel,
        ending;  // 0 a note-off, 1 a note-on of velocity 0 on another channel, 2 none
  };
  struct Event {
    int32_t tick;
    char what;
    int a, b, c;
  };

  int32_t pick(std::initializer_list<int32_t> values) { return values.begin()[rng_() % values.size()]; }
  void add(int32_t tick, char what, int a, int b = 0, int c = 0) { events_.push_back({tick, what, a, b, c}); }

  // A chord, a short phrase, or now and then a long overlapping run (one chain under Legato).
  std::vector<Planned> makeMotif() {
    const bool run = rng_() % 6 == 0;
    std::vector<Planned> notes(run ? 9 + rng_() % 12 : 1 + rng_() % 4);
    int32_t offset = 0;
    for (Planned& n : notes) {
      offset += run ? pick({0, 60, 120}) : pick({0, 0, 60, 120, 240});
      n = {offset,
           run ? pick({180, 240}) : pick({0, 60, 120, 240, 480, 960}),
           pick({60, 62, 64, 67, 60, 72, 0, 127}),
           pick({1, 31, 32, 63, 64, 100, 127}),
           static_cast<int>(rng_() % 3),
           rng_() % 20 == 0 ? 2 : (rng_() % 5 == 0)};
    }
    return notes;
  }

  std::mt19937 rng_;
  std::vector<Event> events_;
};

// Everything the stages decide, as one text: the notes, the events as extracted, the layout, and
// the event each tempo change's record follows.
std::string outcome(const Song& song, const std::vector<reference::Note>& notes, const EventList& events,
                    const std::vector<int32_t>& noteOf, const LaidOutTrack& layout,
                    const std::map<int32_t, int32_t>& followed) {
  std::string text;
  for (const reference::Note& n : notes) {
    appendFormatted(text, "on %d off %d tick %d dur %d pitch %d vel %d voice %d prev %d next %d def %d sound %d "
                    "var %d first %d cc", n.on, n.off, n.tick, n.duration, n.pitch, n.velocity, n.voice, n.prev,
                    n.next, n.definition, n.sound, n.variant, n.firstOccurrence);
    for (const auto& [number, value] : n.controllers) appendFormatted(text, " %d=%d", number, value);
    text += "\n";
  }
  for (std::size_t i = 0; i < events.size(); ++i) {
    const MidiEvent& e = events[i];
    text += describeEvent(song, e);
    appendFormatted(text, " delta=%d index=%d voice=%d note=%d\n", e.delta, e.index, e.voice, noteOf[i]);
  }
  for (std::size_t i = 0; i < layout.events.size(); ++i) {
    MidiEvent e;
    static_cast<EventContent&>(e) = layout.events[i];
    e.tempo = layout.tempoOfEvent[i];
    text += describeEvent(song, e) + " at=" + std::to_string(layout.events[i].tick);
    appendFormatted(text, " note=%d\n", layout.noteOfEvent[i]);
  }
  for (const Tempo& t : song.tempos)
    appendFormatted(text, "%d ", followed.contains(t.index) ? followed.at(t.index) : t.event);
  return text;
}

std::string engine(const Song& song, const TrackSettings& settings) {
  Diagnostics quiet;
  const SlicedTrack sliced = extractNotes(song.tracks[1], settings, song.tempos, quiet);
  std::vector<reference::Note> notes;
  for (const Note& n : sliced.notes) {
    std::map<int32_t, int32_t> controllers;
    const auto values = sliced.controlState(n);
    for (std::size_t i = 0; i < values.size(); ++i) controllers[sliced.controllerNumbers[i]] = values[i];
    notes.push_back({n.noteOn, n.noteOff, n.tick, n.duration, n.pitch, n.velocity, n.voice, controllers, n.chainPrev,
                     n.chainNext, n.definition, n.sound, n.variant, n.firstOccurrence});
  }
  const std::optional<LaidOutTrack> layout = layOutTrack(song.tracks[1], sliced, 1, settings, song.tempos);
  if (!layout) return "no layout";
  const std::map<int32_t, int32_t> followed(layout->tempoCopies.begin(), layout->tempoCopies.end());
  return outcome(song, notes, slicedEventList(song.tracks[1].events, sliced), sliced.noteOfEvent, *layout, followed);
}

std::string plain(const Song& song, const TrackSettings& settings) {
  reference::Track track{song.tempos, settings, {}, {}, {}};
  track.extractNotes(song.tracks[1]);
  std::map<int32_t, int32_t> followed;
  const LaidOutTrack layout = track.buildRenderLayout(1, followed);
  return outcome(song, track.notes, track.events, track.noteOf, layout, followed);
}

TEST(Differential, EngineMatchesTheStepByStepStagesOnRandomTracks) {
  for (uint32_t seed = 1; seed <= 300; ++seed) {
    TrackSettings settings;
    const Song song = readSong(RandomSong(seed).make(settings).bytes());
    ASSERT_EQ(engine(song, settings), plain(song, settings)) << "seed " << seed;
  }
}

}  // namespace
}  // namespace rendlow::test
