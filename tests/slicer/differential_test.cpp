// Holds the engine to the plain step-by-step stages of reference_slicer on a few hundred random
// tracks: the same notes, chains, numbers, event order, layout and tempo links, to the last field.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

#include "midi/midi_reader.h"
#include "reference_slicer.h"
#include "slicer/note_extraction.h"
#include "slicer/render_layout.h"
#include "support/midi_builder.h"
#include "support/song_text.h"

namespace rendlow::test {
namespace {

// A conductor (empty, or holding tempo changes) and one random track of chords, phrases and long
// overlapping runs over a few motifs, with controllers, program changes, zero-velocity note-offs,
// notes never ended, sometimes tempo changes of its own and sometimes no End of Track.
class RandomSong {
public:
  explicit RandomSong(uint32_t seed) : rng_(seed) {}

  Song make(TrackSettings& s) {
    s.splitMethod = pick({0, 1, 1, 2, 2, 2, 5});
    s.multipleThreshold = pick({0, 0, 15, 100, 480, 5000});
    s.velocitySplitWidth = pick({0, 1, 16, 32, 64});
    s.ccSplitWidth = pick({0, 0, 8, 32, 64});
    s.ccInterval = pick({0, 0, 30, 120, 7, -60});
    s.ignoreBpm = rng_() % 4 == 0;
    s.noteInterval = pick({960, 480, 0});
    MidiBuilder builder;
    TrackBuilder& conductor = builder.track();
    const unsigned tempoPlace = rng_() % 3;
    const float bpms[] = {120.0f, 120.5f, 140.0f};
    if (tempoPlace == 1) conductor.tempoBpm(0, 120.0).tempoBpm(pick({0, 500, 3000}), pick({120, 140}));
    for (int i = 0, n = tempoPlace == 2 ? 1 + static_cast<int>(rng_() % 4) : 0; i < n; ++i) {
      const float bpm = bpms[rng_() % 3];
      at(pick({0, 0, 240, 1000, 5000}), [bpm](TrackBuilder& t, int32_t tick) { t.tempoBpm(tick, bpm); });
    }
    std::vector<std::vector<Planned>> motifs(1 + rng_() % 4);
    for (auto& motif : motifs) motif = makeMotif();
    int32_t tick = pick({0, 0, 1, 10});
    for (int i = 0, placements = 5 + static_cast<int>(rng_() % 36); i < placements; ++i) {
      tick += pick({0, 0, 30, 120, 240, 480, 960, 2000});
      for (const Planned& n : rng_() % 4 == 0 ? makeMotif() : motifs[rng_() % motifs.size()]) addNote(tick + n.offset, n);
      if (rng_() % 3 == 0) {
        const int number = pick({1, 7, 10}), value = static_cast<int>(rng_() % 128), channel = static_cast<int>(rng_() % 3);
        at(tick + pick({0, 0, 1, 30, 120, 400}), [=](TrackBuilder& t, int32_t k) { t.controlChange(k, channel, number, value); });
      }
      if (rng_() % 8 == 0) {
        const int program = static_cast<int>(rng_() % 8);
        at(tick + pick({0, 50}), [=](TrackBuilder& t, int32_t k) { t.programChange(k, 0, program); });
      }
    }
    songEnd_ = std::max(songEnd_, tick) + pick({0, 10, 960});
    std::stable_sort(planned_.begin(), planned_.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    TrackBuilder& track = builder.track();
    for (const auto& [when, add] : planned_) add(track, when);
    if (rng_() % 10 < 7) track.endOfTrack(std::max(songEnd_, planned_.empty() ? 0 : planned_.back().first));
    builder.trackAt(0).endOfTrack(3000);  // the reference above went stale with the second track
    RunningStatus running;
    Diagnostics quiet;
    return readMidiBytes(builder.bytes(), running, quiet).value();
  }

private:
  struct Planned {
    int32_t offset, duration;
    int pitch, velocity, channel;
    int ending;  // 0 note-off, 1 zero-velocity note-on, 2 none
  };

  int32_t pick(std::initializer_list<int32_t> values) { return values.begin()[rng_() % values.size()]; }
  void at(int32_t tick, std::function<void(TrackBuilder&, int32_t)> add) { planned_.emplace_back(tick, std::move(add)); }

  // A chord, a short phrase, or now and then a long overlapping run (one chain under Legato).
  std::vector<Planned> makeMotif() {
    const bool run = rng_() % 6 == 0;
    std::vector<Planned> notes(run ? 9 + rng_() % 12 : 1 + rng_() % 4);
    int32_t offset = 0;
    for (Planned& n : notes) {
      offset += run ? pick({0, 60, 120}) : pick({0, 0, 60, 120, 240});
      n = {offset, run ? pick({180, 240}) : pick({0, 60, 120, 240, 480, 960}), pick({60, 62, 64, 67, 60, 72, 0, 127}),
           pick({1, 31, 32, 63, 64, 100, 127}), static_cast<int>(rng_() % 3),
           rng_() % 20 == 0 ? 2 : (rng_() % 5 == 0 ? 1 : 0)};
    }
    return notes;
  }

  void addNote(int32_t tick, const Planned& n) {
    at(tick, [n](TrackBuilder& t, int32_t k) { t.noteOn(k, n.channel, n.pitch, n.velocity); });
    const int32_t end = tick + n.duration;
    songEnd_ = std::max(songEnd_, end);
    if (n.ending == 0) at(end, [n](TrackBuilder& t, int32_t k) { t.noteOff(k, n.channel, n.pitch); });
    if (n.ending == 1) at(end, [n](TrackBuilder& t, int32_t k) { t.noteOn(k, (n.channel + 1) % 3, n.pitch, 0); });
  }

  std::mt19937 rng_;
  int32_t songEnd_ = 0;
  std::vector<std::pair<int32_t, std::function<void(TrackBuilder&, int32_t)>>> planned_;
};

std::string eventsText(const Song& song, const EventList& events) {
  std::string text;
  for (const MidiEvent& e : events) {
    text += describeEvent(song, e) + " delta=" + std::to_string(e.delta) + " index=" + std::to_string(e.index) +
            " voice=" + std::to_string(e.voice) + " note=" + std::to_string(e.note) + "\n";
  }
  return text;
}

std::string noteText(const reference::Note& n, const std::string& controllers) {
  char line[256];
  std::snprintf(line, sizeof line, "on %d off %d tick %d dur %d pitch %d vel %d voice %d prev %d next %d def %d "
                "sound %d var %d first %d cc%s\n", n.on, n.off, n.tick, n.duration, n.pitch, n.velocity, n.voice,
                n.prev, n.next, n.definition, n.sound, n.variant, n.firstOccurrence, controllers.c_str());
  return line;
}

// Everything the stages decide, as text: notes, the events as extracted, the layout, the tempo
// changes' events.
struct Outcome {
  std::string notes, extracted, layout, tempos;
};

Outcome engine(Song song, const TrackSettings& settings) {
  Diagnostics quiet;
  MidiTrack& track = song.tracks[1];
  const SlicedTrack sliced = extractNotes(track, settings, song.tempos, quiet);
  Outcome out;
  for (const Note& n : sliced.notes) {
    std::string controllers;
    const auto values = sliced.controlState(n);
    for (std::size_t i = 0; i < values.size(); ++i)
      controllers += " " + std::to_string(sliced.controllerNumbers[i]) + "=" + std::to_string(values[i]);
    out.notes += noteText({n.noteOn, n.noteOff, n.tick, n.duration, n.pitch, n.velocity, n.voice, {}, n.chainPrev,
                           n.chainNext, n.definition, n.sound, n.variant, n.firstOccurrence}, controllers);
  }
  out.extracted = eventsText(song, track.events);
  EXPECT_TRUE(buildRenderLayout(track, 1, sliced, settings, song.tempos));
  EXPECT_EQ(eventsText(song, track.originalEvents), out.extracted);
  out.layout = eventsText(song, track.events);
  for (const Tempo& t : song.tempos) out.tempos += std::to_string(t.event) + " ";
  return out;
}

Outcome plain(const Song& song, const TrackSettings& settings) {
  reference::Track track{song.tempos, settings, {}, {}};
  track.extractNotes(song.tracks[1]);
  Outcome out;
  for (const reference::Note& n : track.notes) {
    std::string controllers;
    for (const auto& [number, value] : n.controllers) controllers += " " + std::to_string(number) + "=" + std::to_string(value);
    out.notes += noteText(n, controllers);
  }
  out.extracted = eventsText(song, track.events);
  std::map<int32_t, int32_t> followed;
  out.layout = eventsText(song, track.buildRenderLayout(1, followed));
  for (const Tempo& t : song.tempos) out.tempos += std::to_string(followed.contains(t.index) ? followed[t.index] : t.event) + " ";
  return out;
}

TEST(Differential, EngineMatchesTheStepByStepStagesOnRandomTracks) {
  for (uint32_t seed = 1; seed <= 300; ++seed) {
    TrackSettings settings;
    const Song song = RandomSong(seed).make(settings);
    const Outcome fast = engine(song, settings), slow = plain(song, settings);
    ASSERT_EQ(fast.notes, slow.notes) << "seed " << seed;
    ASSERT_EQ(fast.extracted, slow.extracted) << "seed " << seed;
    ASSERT_EQ(fast.layout, slow.layout) << "seed " << seed;
    ASSERT_EQ(fast.tempos, slow.tempos) << "seed " << seed;
  }
}

}  // namespace
}  // namespace rendlow::test
