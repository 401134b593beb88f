// Worked examples of each slicing stage: pairing, grouping, note-off order, unended notes,
// controller states, the sound comparison, numbering and the rendering layout.

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "slicer/sound_comparison.h"
#include "slicing.h"

namespace rendlow::test {
namespace {

TEST(NotePairing, ANoteEndsAtTheNextEndOfItsNumberOnAnyChannel) {
  MidiBuilder b;
  b.track().tempo(0, 500000).noteOn(0, 0, 60, 100).noteOn(120, 0, 60, 90).noteOff(240, 0, 61)
      .noteOn(480, 1, 60, 0).noteOff(600, 0, 60).noteOn(700, 0, 62, 0).endOfTrack(960);
  Sliced s(b);
  // Both note-ons of 60 end at the zero-velocity note-on; the one of 62 starts nothing.
  EXPECT_EQ(s.field(&Note::duration), (Ints{480, 360}));
  EXPECT_EQ(s.field(&Note::noteOff), (Ints{4, 4}));
  EXPECT_EQ(s.field(&Note::velocity), (Ints{100, 90}));
  EXPECT_EQ(s.field(&Note::voice), (Ints{0, 1}));
  EXPECT_EQ(s.track().events[4].note, 1);  // the later note takes the shared note-off
  EXPECT_EQ(s.track().events[2].note, 1);
}

struct GroupCase {
  int32_t method;
  std::vector<std::array<int32_t, 3>> notes;  // tick, length, pitch
  Ints chainPrev;
};

TEST(Grouping, ChordsShareATickAndLegatoRunsOverlapHalfOpen) {
  const GroupCase cases[] = {
      {2, {{0, 480, 60}, {480, 480, 62}}, {kNone, kNone}},
      {2, {{0, 480, 60}, {479, 480, 62}}, {kNone, 0}},
      // Overlapping only the first member, which lasts longest, is enough.
      {2, {{0, 960, 48}, {100, 100, 60}, {300, 100, 62}, {500, 100, 64}, {960, 100, 65}}, {kNone, 0, 1, 2, kNone}},
      {1, {{0, 480, 60}, {0, 240, 64}, {0, 960, 67}, {1, 480, 72}}, {kNone, 0, 1, kNone}},
      {0, {{0, 480, 60}, {0, 480, 64}, {100, 480, 67}}, {kNone, kNone, kNone}},
      {3, {{0, 480, 60}, {0, 480, 64}}, {kNone, kNone}},
      {-7, {{0, 480, 60}, {0, 480, 64}}, {kNone, kNone}},
  };
  for (const GroupCase& c : cases) {
    std::vector<std::array<int32_t, 3>> events;  // tick, 0 for on or 1 for off, pitch
    for (const auto& [tick, length, pitch] : c.notes) {
      events.push_back({tick, 0, pitch});
      events.push_back({tick + length, 1, pitch});
    }
    std::stable_sort(events.begin(), events.end(), [](const auto& x, const auto& y) { return x[0] < y[0]; });
    MidiBuilder b;
    TrackBuilder& track = b.track().tempo(0, 500000);
    for (const auto& [tick, off, pitch] : events) off ? track.noteOff(tick, 0, pitch) : track.noteOn(tick, 0, pitch, 100);
    TrackSettings settings;
    settings.splitMethod = c.method;
    EXPECT_EQ(Sliced(b, settings).field(&Note::chainPrev), c.chainPrev) << "method " << c.method << ", " << c.notes.size() << " notes";
  }
}

Ints offPitches(const MidiTrack& track) {
  Ints pitches;
  for (const MidiEvent& e : track.events) {
    if (e.endsNote()) pitches.push_back(e.head[0]);
  }
  return pitches;
}

// Where chord members of rising pitch end on one tick, they end in chain order; other note-offs
// keep their places, and every event its index.
TEST(NoteOffOrder, RisingPitchesInAChainEndInChainOrder) {
  MidiBuilder b;
  b.track().noteOn(0, 0, 60, 100).noteOn(0, 0, 64, 100).noteOn(0, 0, 67, 100).noteOff(960, 0, 67)
      .noteOff(960, 0, 64).noteOff(960, 0, 60).noteOn(1000, 0, 64, 100).noteOn(1000, 0, 60, 100)
      .noteOff(1500, 0, 60).noteOff(1500, 0, 64).noteOn(2000, 0, 60, 100).noteOn(2001, 0, 64, 100)
      .noteOff(2500, 0, 64).noteOff(2500, 0, 60).endOfTrack(2500);
  Sliced s(b);
  EXPECT_EQ(offPitches(s.track()), (Ints{60, 64, 67, 60, 64, 64, 60}));
  for (std::size_t i = 0; i < s.track().events.size(); ++i) EXPECT_EQ(s.track().events[i].index, static_cast<int32_t>(i));
  for (const Note& n : s.sliced.notes) EXPECT_EQ(s.track().events[n.noteOff].head[0], n.pitch);
}

// A note nothing ends is ended at the track's last tick, before its End of Track; one added
// note-off ends every such note of its number.
TEST(UnendedNotes, AreEndedBeforeTheEndOfTrackOncePerNumber) {
  MidiBuilder b;
  b.track().tempo(0, 500000).noteOn(0, 0, 60, 100).noteOn(240, 0, 60, 100).noteOn(300, 3, 61, 100)
      .noteOff(400, 0, 59).endOfTrack(960);
  Sliced s(b, withSplit(SplitMethod::Single));
  EXPECT_EQ(s.field(&Note::duration), (Ints{960, 720, 660}));
  EXPECT_EQ(s.field(&Note::noteOff), (Ints{5, 5, 6}));
  const EventList& events = s.track().events;
  ASSERT_EQ(events.size(), 8u);
  EXPECT_EQ(Sliced::describe(events[4]), "off 59 @400 +100");
  EXPECT_EQ(Sliced::describe(events[5]), "off 60 @960 +560");
  EXPECT_EQ(Sliced::describe(events[6]), "off 61 @960 +0");
  EXPECT_EQ(Sliced::describe(events[7]), "end @960 +0");
  EXPECT_EQ(events[6].status, 0x83);
  EXPECT_EQ(events[6].note, 2);
  EXPECT_EQ(events[6].index, 6);
}

TEST(ControllerStates, ArePerTrackAndHoldEveryControllerOfTheTrack) {
  MidiBuilder b;
  b.track().controlChange(0, 0, 7, 100).controlChange(10, 5, 7, 50).controlChange(20, 3, 10, 64)
      .noteOn(30, 0, 60, 100).noteOff(130, 0, 60).controlChange(200, 0, 11, 127).noteOn(300, 0, 62, 100).noteOff(400, 0, 62);
  const MidiBuilder copy = b;
  Sliced s(b);
  EXPECT_EQ(s.sliced.controllerNumbers, (Ints{7, 10, 11}));
  const auto state = [&](std::size_t n) { const auto v = s.sliced.controlState(s.sliced.notes[n]); return Ints(v.begin(), v.end()); };
  EXPECT_EQ(state(0), (Ints{50, 64, 0}));
  EXPECT_EQ(state(1), (Ints{50, 64, 127}));
  std::ostringstream lines;
  Diagnostics diagnostics(&lines);
  Song song = readSong(copy);
  extractNotes(song.tracks[0], {}, song.tempos, diagnostics);
  EXPECT_EQ(lines.str(), "NoteOn: 30 100 60\nNoteOn: 300 100 62\n");
}

// Two notes, at 0 and 1000, as the numbering compares them: the later against the earlier.
bool alike(MidiBuilder& b, const TrackSettings& settings) {
  Sliced s(b, withSplit(SplitMethod::Single));
  return SoundComparison(s.track().events, s.sliced, settings, s.song.tempos).sameNote(s.sliced.notes[1], s.sliced.notes[0]);
}

TEST(SameNote, VelocitiesCompareInTruncatingBucketsAndTemposAsFloats) {
  const std::array<int32_t, 4> velocities[] = {
      {1, 127, 0, 1}, {1, 127, -3, 1}, {31, 32, 32, 0}, {32, 63, 32, 1}, {63, 64, 32, 0}, {100, 101, 1, 0}, {100, 100, 1, 1}};
  for (const auto& [earlier, later, width, expected] : velocities) {
    MidiBuilder b;
    b.track().tempo(0, 500000).noteOn(0, 0, 60, earlier).noteOff(100, 0, 60).noteOn(1000, 0, 60, later).noteOff(1100, 0, 60);
    TrackSettings settings;
    settings.velocitySplitWidth = width;
    EXPECT_EQ(alike(b, settings), expected == 1) << earlier << " " << later << " / " << width;
  }
  const std::array<uint32_t, 3> tempos[] = {{0, 0, 0}, {500000, 497925, 0}, {500000, 500000, 1}};  // 120 and 120.5 BPM
  for (const auto& [first, second, expected] : tempos) {
    MidiBuilder b;
    TrackBuilder& t = b.track();
    if (first) t.tempo(0, first);
    t.noteOn(0, 0, 60, 100).noteOff(100, 0, 60);
    if (second) t.tempo(500, second);
    t.noteOn(1000, 0, 60, 100).noteOff(1100, 0, 60);
    EXPECT_EQ(alike(b, {}), expected == 1) << first << " " << second;
    TrackSettings ignored;
    ignored.ignoreBpm = true;
    EXPECT_TRUE(alike(b, ignored));
  }
}

// Both notes last 480 ticks with volume 0 at their start; each changes it to 100 at `earlier` and
// `later` ticks from its start (-1: never). Controllers are sampled every `interval` ticks while
// the later note sounds: its changes count up to the sample tick, the earlier note's only before.
TEST(SameNote, ControllersAreSampledInBucketsWhileTheLaterNoteSounds) {
  struct Case {
    int32_t earlier, later, interval;
    bool alike;
  };
  const Case cases[] = {{-1, 0, 0, false},   {-1, 1, 0, true},     {-1, 120, 120, false}, {-1, 360, 120, false},
                        {-1, 361, 120, true}, {-1, 479, 1, false}, {-1, 200, -120, true}, {120, 120, 120, false},
                        {100, 120, 120, true}, {0, 0, 0, false}};
  for (const Case& c : cases) {
    MidiBuilder b;
    TrackBuilder& t = b.track().tempo(0, 500000);
    for (const auto& [start, change] : {std::pair{0, c.earlier}, {1000, c.later}}) {
      t.controlChange(start, 0, 7, 0).noteOn(start, 0, 60, 100);
      if (change >= 0) t.controlChange(start + change, 0, 7, 100);
      t.noteOff(start + 480, 0, 60);
    }
    TrackSettings settings;
    settings.ccSplitWidth = 16;
    settings.ccInterval = c.interval;
    EXPECT_EQ(alike(b, settings), c.alike) << c.earlier << " " << c.later << " every " << c.interval;
    settings.ccSplitWidth = 0;
    EXPECT_TRUE(alike(b, settings));
  }
}

struct NumberCase {
  std::vector<std::pair<int32_t, int>> notes;  // tick, pitch: one chain per tick under Chord
  int32_t threshold;
  SplitMethod split;
  Ints definitions, sounds, variants, firsts;
};

TEST(Numbering, ReusesTheNearestDefinitionFartherThanTheThreshold) {
  const NumberCase cases[] = {
      {{{100, 60}}, 0, SplitMethod::Chord, {0}, {0}, {0}, {1}},
      {{{0, 60}, {10, 60}, {20, 60}}, 15, SplitMethod::Chord, {0, 1, 0}, {0, 0, 0}, {0, 1, 0}, {1, 0, 0}},
      {{{0, 60}, {10, 60}, {20, 60}}, 25, SplitMethod::Chord, {0, 1, 2}, {0, 0, 0}, {0, 1, 2}, {1, 0, 0}},
      // 30 reuses definition 0; 40 finds 30 too close, and the note at 0 has the variant excluded.
      {{{0, 60}, {30, 60}, {40, 60}}, 25, SplitMethod::Chord, {0, 0, 1}, {0, 0, 0}, {0, 0, 2}, {1, 0, 0}},
      {{{0, 60}, {0, 60}}, 0, SplitMethod::Single, {0, 1}, {0, 0}, {0, 1}, {1, 0}},
      {{{0, 60}, {100, 60}, {2000, 60}}, 0, SplitMethod::Chord, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {1, 0, 0}},
      {{{0, 60}, {200, 62}, {400, 60}, {600, 62}}, 0, SplitMethod::Chord, {0, 1, 0, 1}, {0, 1, 0, 1}, {0, 0, 0, 0}, {1, 1, 0, 0}},
      // Each note of the earlier chord is too close and counts: the variant is 2.
      {{{0, 60}, {0, 64}, {10, 60}, {10, 64}}, 15, SplitMethod::Chord, {0, 0, 1, 1}, {0, 0, 0, 0}, {0, 0, 2, 2}, {1, 1, 0, 0}},
      // A chord with one more note is another sound.
      {{{0, 60}, {0, 64}, {1000, 60}, {1000, 64}, {2000, 60}, {2000, 64}, {2000, 67}}, 0, SplitMethod::Chord,
       {0, 0, 0, 0, 1, 1, 1}, {0, 0, 0, 0, 1, 1, 1}, {0, 0, 0, 0, 0, 0, 0}, {1, 1, 0, 0, 1, 1, 1}},
  };
  for (const NumberCase& c : cases) {
    MidiBuilder b;
    TrackBuilder& track = b.track().tempo(0, 500000);
    for (std::size_t i = 0; i < c.notes.size(); ++i) {
      track.noteOn(c.notes[i].first, 0, c.notes[i].second, 100);
      if (i + 1 == c.notes.size() || c.notes[i + 1].first != c.notes[i].first) {
        for (std::size_t k = 0; k <= i; ++k)
          if (c.notes[k].first == c.notes[i].first) track.noteOff(c.notes[i].first + 5, 0, c.notes[k].second);
      }
    }
    TrackSettings settings = withSplit(c.split);
    settings.multipleThreshold = c.threshold;
    Sliced s(b, settings);
    const Ints firsts = [&] { Ints f; for (const Note& n : s.sliced.notes) f.push_back(n.firstOccurrence); return f; }();
    EXPECT_EQ(s.field(&Note::definition), c.definitions) << c.notes.size() << " notes, threshold " << c.threshold;
    EXPECT_EQ(s.field(&Note::sound), c.sounds) << c.notes.size() << " notes, threshold " << c.threshold;
    EXPECT_EQ(s.field(&Note::variant), c.variants) << c.notes.size() << " notes, threshold " << c.threshold;
    EXPECT_EQ(firsts, c.firsts) << c.notes.size() << " notes, threshold " << c.threshold;
  }
}

}  // namespace
}  // namespace rendlow::test
