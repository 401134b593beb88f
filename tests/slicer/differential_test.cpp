// Holds the engine to the plain step-by-step stages of reference_slicer on random tracks: the
// same notes, chains, numbers, event order, layout and tempo links, to the last field.

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <unordered_map>

#include "reference_slicer.h"
#include "slicer/definition_numbering.h"
#include "slicer/render_layout.h"
#include "slicing_helpers.h"

namespace rendlow::test {
namespace {

class RandomSong {
public:
  explicit RandomSong(uint32_t seed) : rng_(seed) {}

  // Fills the maker and the settings; the same seed always gives the same song.
  void populate(TrackMaker& maker, TrackSettings& settings) {
    pickSettings(settings);
    pickTempos(maker);
    const int placements = 5 + static_cast<int>(rng_() % 36);
    std::vector<std::vector<PlannedNote>> motifs(1 + rng_() % 4);
    for (auto& motif : motifs) motif = makeMotif();
    int32_t tick = pick({0, 0, 1, 10});
    for (int i = 0; i < placements; ++i) {
      tick += pick({0, 0, 30, 120, 240, 480, 960, 2000});
      const auto& notes = rng_() % 4 == 0 ? makeMotif() : motifs[rng_() % motifs.size()];
      for (const PlannedNote& n : notes) addNote(maker, tick + n.offset, n);
      if (rng_() % 3 == 0) {
        maker.controlChange(tick + pick({0, 0, 1, 30, 120, 400}), pick({1, 7, 10}),
                            static_cast<int>(rng_() % 128), static_cast<int>(rng_() % 3));
      }
      if (rng_() % 8 == 0) maker.programChange(tick + pick({0, 50}), static_cast<int>(rng_() % 8));
    }
    songEnd_ = std::max(songEnd_, tick) + pick({0, 10, 960});
    if (rng_() % 10 < 7) maker.endOfTrack(songEnd_);
  }

private:
  struct PlannedNote {
    int32_t offset, duration;
    int pitch, velocity, channel;
    int ending;  // 0 note-off, 1 zero-velocity note-on, 2 none
  };

  int32_t pick(std::initializer_list<int32_t> values) {
    return *(values.begin() + static_cast<std::ptrdiff_t>(rng_() % values.size()));
  }

  void pickSettings(TrackSettings& s) {
    s.splitMethod = pick({0, 1, 1, 2, 2, 2, 5});
    s.multipleThreshold = pick({0, 0, 15, 100, 480, 5000});
    s.velocitySplitWidth = pick({0, 1, 16, 32, 64});
    s.ccSplitWidth = pick({0, 0, 8, 32, 64});
    s.ccInterval = pick({0, 0, 30, 120, 7, -60});
    s.ignoreBpm = rng_() % 4 == 0;
    s.noteInterval = pick({960, 480, 0});
  }

  void pickTempos(TrackMaker& maker) {
    switch (rng_() % 3) {
      case 0:
        break;  // no tempo at all
      case 1: {
        TrackMaker conductor;
        conductor.tempo(0, 120.0f).tempo(pick({0, 500, 3000}), pick({120, 140}) * 1.0f);
        conductor.build();
        maker.useTempos(conductor.tempos());
        break;
      }
      default:
        for (int i = 0, n = 1 + static_cast<int>(rng_() % 4); i < n; ++i) {
          const float bpms[] = {120.0f, 120.5f, 140.0f};
          maker.tempo(pick({0, 0, 240, 1000, 5000}), bpms[rng_() % 3]);
        }
    }
  }

  // A chord, a short phrase, or now and then a long overlapping run (one chain under Legato).
  std::vector<PlannedNote> makeMotif() {
    const bool run = rng_() % 6 == 0;
    std::vector<PlannedNote> notes(run ? 9 + rng_() % 12 : 1 + rng_() % 4);
    int32_t offset = 0;
    for (auto& n : notes) {
      offset += run ? pick({0, 60, 120}) : pick({0, 0, 60, 120, 240});
      n = {offset,
           run ? pick({180, 240}) : pick({0, 60, 120, 240, 480, 960}),
           pick({60, 62, 64, 67, 60, 72, 0, 127}),
           pick({1, 31, 32, 63, 64, 100, 127}),
           static_cast<int>(rng_() % 3),
           rng_() % 20 == 0 ? 2 : (rng_() % 5 == 0 ? 1 : 0)};
    }
    return notes;
  }

  void addNote(TrackMaker& maker, int32_t tick, const PlannedNote& n) {
    maker.noteOn(tick, n.pitch, n.velocity, n.channel);
    const int32_t end = tick + n.duration;
    songEnd_ = std::max(songEnd_, end);
    if (n.ending == 0) maker.noteOff(end, n.pitch, n.channel);
    if (n.ending == 1) maker.noteOn(end, n.pitch, 0, (n.channel + 1) % 3);
  }

  std::mt19937 rng_;
  int32_t songEnd_ = 0;
};

// Everything the stages decide, written out so that two runs can be compared as text.
class Dump {
public:
  explicit Dump(const MidiTrack& track) {
    for (std::size_t i = 0; i < track.notes.size(); ++i)
      notePlace_[track.notes[i].get()] = static_cast<int>(i);
  }

  std::string notes(const MidiTrack& track) {
    std::ostringstream out;
    for (const auto& n : track.notes) {
      out << noteName(n.get()) << ": on " << n->noteOn->index << " off " << n->noteOff->index << " pitch "
          << n->pitch << " vel " << n->velocity << " dur " << n->duration << " voice " << n->voice << " def "
          << n->definition << " sound " << n->sound << " var " << n->variant << " first "
          << n->firstOccurrence << " prev " << noteName(n->chainPrev.lock().get()) << " next "
          << noteName(n->chainNext.get()) << " cc";
      for (const auto& [number, value] : n->controlState) out << ' ' << number << '=' << value;
      out << '\n';
    }
    return out.str();
  }

  std::string events(const EventList& events, const EventList& layout) {
    std::unordered_map<const MidiEvent*, std::string> names;
    for (const auto& e : events) names[e.get()] = "o" + std::to_string(e->index);
    for (std::size_t i = 0; i < layout.size(); ++i) names[layout[i].get()] = "l" + std::to_string(i);
    // Events of other tracks (a conductor's tempo changes) are named alike.
    const auto name = [&names](const MidiEvent* e) {
      if (!e) return std::string("-");
      const auto found = names.find(e);
      return found == names.end() ? std::string("elsewhere") : found->second;
    };
    std::ostringstream out;
    for (const auto* list : {&events, &layout}) {
      for (const auto& e : *list) {
        out << name(e.get()) << ": tick " << e->tick << " delta " << e->delta << " status " << int{e->status}
            << " meta " << e->metaType << " index " << e->index << " voice " << e->voice << " data";
        for (uint8_t b : e->data) out << ' ' << int{b};
        const auto tempo = e->tempo.lock();
        out << " note " << noteName(e->note.lock().get()) << " tempo " << (tempo ? tempo->index : -1)
            << " tempo-event " << (tempo ? name(tempo->event.get()) : "-") << " prev " << name(e->prev)
            << " next " << name(e->next) << '\n';
      }
    }
    return out.str();
  }

private:
  std::string noteName(const Note* n) const { return n ? "n" + std::to_string(notePlace_.at(n)) : "-"; }

  std::unordered_map<const Note*, int> notePlace_;
};

struct Outcome {
  std::string notes, extracted, laidOut;
};

template <typename Extract, typename Layout>
Outcome run(uint32_t seed, Extract extract, Layout layout) {
  TrackMaker maker;
  TrackSettings settings;
  RandomSong(seed).populate(maker, settings);
  auto track = maker.build();
  track->settings = settings;
  extract(*track);
  Dump dump(*track);
  Outcome outcome{dump.notes(*track), dump.events(track->events, {}), {}};
  layout(*track);
  outcome.laidOut = dump.events(track->originalEvents, track->events);
  return outcome;
}

TEST(Differential, EngineMatchesTheStepByStepStagesOnRandomTracks) {
  Diagnostics silent;
  for (uint32_t seed = 1; seed <= 300; ++seed) {
    const Outcome fast = run(
        seed, [&silent](MidiTrack& t) { extractNotes(t, silent); },
        [](MidiTrack& t) { EXPECT_TRUE(buildRenderLayout(t)); });
    const Outcome plain = run(
        seed, [](MidiTrack& t) { reference::extractNotes(t); },
        [](MidiTrack& t) { reference::buildRenderLayout(t); });
    ASSERT_EQ(fast.notes, plain.notes) << "seed " << seed;
    ASSERT_EQ(fast.extracted, plain.extracted) << "seed " << seed;
    ASSERT_EQ(fast.laidOut, plain.laidOut) << "seed " << seed;
  }
}

TEST(Differential, NoteOffSearchMatchesTheForwardWalk) {
  for (uint32_t seed = 1; seed <= 200; ++seed) {
    TrackMaker maker;
    TrackSettings settings;
    RandomSong(seed).populate(maker, settings);
    auto track = maker.build();
    const auto found = findNoteOffs(track->events);
    for (std::size_t i = 0; i < track->events.size(); ++i) {
      MidiEvent& e = *track->events[i];
      const MidiEvent* expected = e.startsNote() ? reference::findNoteOff(e) : nullptr;
      const MidiEvent* got =
          found[i] == kNoNoteOff ? nullptr : track->events[static_cast<std::size_t>(found[i])].get();
      ASSERT_EQ(got, expected) << "seed " << seed << " event " << i;
    }
  }
}

TEST(Differential, SortingMatchesTheRepeatedSearchOnDamagedIndexes) {
  std::mt19937 rng(7);
  for (int round = 0; round < 300; ++round) {
    TrackMaker maker;
    const int count = static_cast<int>(rng() % 12);
    for (int i = 0; i < count; ++i) maker.controlChange(i, 7, i);
    auto fast = maker.build();
    std::vector<int32_t> indexes(static_cast<std::size_t>(count));
    for (auto& index : indexes) index = static_cast<int32_t>(rng() % (count + 2)) - 1;
    for (int i = 0; i < count; ++i) fast->events[i]->index = indexes[i];
    MidiTrack plain;
    plain.events = fast->events;
    sortEventsByIndex(*fast);
    reference::sortEventsByIndex(plain);
    ASSERT_EQ(fast->events, plain.events) << "round " << round;
  }
}

}  // namespace
}  // namespace rendlow::test
