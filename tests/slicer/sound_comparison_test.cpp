#include <gtest/gtest.h>

#include "slicer/sound_comparison.h"
#include "slicing_helpers.h"

namespace rendlow::test {
namespace {

// Two notes far apart under one tempo, each described by a callback that adds it to the track.
struct Pair {
  TrackMaker maker;
  std::shared_ptr<MidiTrack> track;

  Pair& build(const TrackSettings& settings = withSplit(SplitMethod::Single)) {
    track = sliced(maker, settings);
    return *this;
  }
  const Note& note(std::size_t i) const { return *track->notes.at(i); }
  // The later note against the earlier one, as the numbering asks.
  bool alike() const { return sameNote(note(1), note(0), *track); }
};

TEST(SameNote, VelocitiesCompareInTruncatingBuckets) {
  const auto velocities = [](int earlier, int later, int32_t width) {
    Pair p;
    p.maker.tempo(0, 120.0f).note(0, 100, 60, earlier).note(1000, 100, 60, later);
    p.build();
    p.track->settings.velocitySplitWidth = width;
    return p.alike();
  };
  EXPECT_TRUE(velocities(1, 127, 0));
  EXPECT_TRUE(velocities(1, 127, -3));
  EXPECT_FALSE(velocities(31, 32, 32));
  EXPECT_TRUE(velocities(32, 63, 32));
  EXPECT_FALSE(velocities(63, 64, 32));
  EXPECT_FALSE(velocities(100, 101, 1));
}

TEST(SameNote, PitchAndDurationMustBeEqual) {
  Pair longer;
  longer.maker.tempo(0, 120.0f).note(0, 100, 60).note(1000, 101, 60);
  EXPECT_FALSE(longer.build().alike());
  Pair higher;
  higher.maker.tempo(0, 120.0f).note(0, 100, 60).note(1000, 100, 61);
  EXPECT_FALSE(higher.build().alike());
  Pair same;
  same.maker.tempo(0, 120.0f).note(0, 100, 60).note(1000, 100, 60);
  EXPECT_TRUE(same.build().alike());
}

TEST(SameNote, TempoMustBeEqualAsAFloatUnlessIgnored) {
  Pair none;
  none.maker.note(0, 100, 60).note(1000, 100, 60);
  none.build();
  EXPECT_FALSE(none.alike());
  none.track->settings.ignoreBpm = true;
  EXPECT_TRUE(none.alike());

  Pair apart;
  apart.maker.tempo(0, 120.0f).note(0, 100, 60).tempo(500, 120.5f).note(1000, 100, 60);
  apart.build();
  EXPECT_FALSE(apart.alike());
  apart.track->settings.ignoreBpm = true;
  EXPECT_TRUE(apart.alike());

  // Two tempo changes of the same BPM are the same tempo.
  Pair again;
  again.maker.tempo(0, 120.0f).note(0, 100, 60).tempo(500, 120.0f).note(1000, 100, 60);
  EXPECT_TRUE(again.build().alike());
}

TEST(SameNote, ControllerValuesCompareInBucketsWhenAWidthIsSet) {
  const auto values = [](int earlier, int later, int32_t width) {
    Pair p;
    p.maker.tempo(0, 120.0f).controlChange(0, 7, earlier).note(0, 100, 60);
    p.maker.controlChange(500, 7, later).note(1000, 100, 60);
    p.build();
    p.track->settings.ccSplitWidth = width;
    return p.alike();
  };
  EXPECT_TRUE(values(0, 15, 16));
  EXPECT_FALSE(values(15, 16, 16));
  EXPECT_TRUE(values(15, 16, 0));
  EXPECT_TRUE(values(0, 127, -1));
}

// Both notes last 480 ticks from 0 and 1000; the later note's volume changes at `offset` from its
// start, and the comparison samples every 120 ticks.
bool changeAt(int32_t offset, int32_t interval) {
  Pair p;
  p.maker.tempo(0, 120.0f).note(0, 480, 60).noteOn(1000, 60).controlChange(1000 + offset, 7, 100);
  p.maker.noteOff(1480, 60);
  p.build();
  p.track->settings.ccSplitWidth = 16;
  p.track->settings.ccInterval = interval;
  return p.alike();
}

TEST(SameNote, ControllersAreSampledEveryIntervalWhileTheLaterNoteSounds) {
  EXPECT_FALSE(changeAt(0, 0));  // the later note's own start tick counts
  EXPECT_TRUE(changeAt(1, 0));
  EXPECT_FALSE(changeAt(120, 120));
  EXPECT_FALSE(changeAt(360, 120));
  EXPECT_TRUE(changeAt(361, 120));  // next sample would be 480, the note's end
  EXPECT_TRUE(changeAt(479, 120));
  EXPECT_FALSE(changeAt(479, 1));
  EXPECT_TRUE(changeAt(200, -120));  // a negative step compares only at the start
}

TEST(SameNote, TheEarlierNoteOnlySeesChangesBeforeTheSampleTick) {
  // The same change at the same offset in both notes: the later note sees it at the sample tick,
  // the earlier one only after it, so the sample at 120 differs while one at 240 would not.
  const auto both = [](int32_t offset, int32_t interval) {
    Pair p;
    p.maker.tempo(0, 120.0f).controlChange(0, 7, 0).noteOn(0, 60).controlChange(offset, 7, 100).noteOff(480, 60);
    p.maker.controlChange(999, 7, 0).noteOn(1000, 60).controlChange(1000 + offset, 7, 100).noteOff(1480, 60);
    p.build();
    p.track->settings.ccSplitWidth = 16;
    p.track->settings.ccInterval = interval;
    return p.alike();
  };
  EXPECT_FALSE(both(120, 120));
  EXPECT_TRUE(both(100, 120));
  EXPECT_FALSE(both(0, 0));
  // Not symmetric: the earlier note's change on its own start tick is not seen at offset 0.
  Pair reversed;
  reversed.maker.tempo(0, 120.0f).noteOn(0, 60).controlChange(0, 7, 100).noteOff(480, 60);
  reversed.maker.controlChange(999, 7, 0).note(1000, 480, 60);
  reversed.build();
  reversed.track->settings.ccSplitWidth = 16;
  EXPECT_TRUE(reversed.alike());
  EXPECT_FALSE(sameNote(reversed.note(0), reversed.note(1), *reversed.track));
}

TEST(SameNote, ANoteWithoutDurationPassesTheControllerTest) {
  Pair p;
  p.maker.tempo(0, 120.0f).controlChange(0, 7, 0).note(0, 0, 60).controlChange(500, 7, 127).note(1000, 0, 60);
  p.build();
  p.track->settings.ccSplitWidth = 16;
  EXPECT_TRUE(p.alike());
}

TEST(SameSound, ChordsMustMatchNoteForNoteAndInLength) {
  TrackMaker maker;
  maker.tempo(0, 120.0f).note(0, 100, 60).note(0, 100, 64);            // C-E
  maker.note(1000, 100, 60).note(1000, 100, 67);                       // C-G
  maker.note(2000, 100, 60).note(2000, 100, 64).note(2000, 100, 67);  // C-E-G
  maker.note(3000, 100, 64).note(3000, 100, 60);                       // E-C
  auto track = sliced(maker);
  const auto& n = track->notes;
  EXPECT_FALSE(sameSound(*n[2], *n[0], *track));
  EXPECT_FALSE(sameSound(*n[4], *n[0], *track));
  EXPECT_FALSE(sameSound(*n[0], *n[4], *track));
  EXPECT_TRUE(sameSound(*n[8], *n[0], *track));   // member order does not matter
  EXPECT_TRUE(sameSound(*n[7], *n[1], *track));   // any note of either chain stands for it
}

TEST(SameSound, IsNotSymmetric) {
  // C-C against C-E: both notes of C-C find the C, so C-C sounds like C-E; E finds nothing in C-C.
  TrackMaker maker;
  maker.tempo(0, 120.0f).noteOn(0, 60).noteOn(0, 64).noteOff(100, 60).noteOff(100, 64);
  maker.noteOn(1000, 60).noteOn(1000, 60).noteOff(1100, 60);
  auto track = sliced(maker);
  ASSERT_EQ(track->notes[2]->chainLength(), 2);
  EXPECT_TRUE(sameSound(*track->notes[2], *track->notes[0], *track));
  EXPECT_FALSE(sameSound(*track->notes[0], *track->notes[2], *track));
}

TEST(SameSound, LegatoRhythmMustMatch) {
  TrackMaker maker;
  maker.tempo(0, 120.0f).note(0, 300, 60).note(240, 300, 62);
  maker.note(1000, 300, 60).note(1240, 300, 62);
  maker.note(2000, 300, 60).note(2120, 300, 62);
  auto track = sliced(maker, withSplit(SplitMethod::Legato));
  const auto& n = track->notes;
  ASSERT_EQ(n[0]->chainLength(), 2);
  EXPECT_TRUE(sameSound(*n[2], *n[0], *track));
  EXPECT_FALSE(sameSound(*n[4], *n[0], *track));
}

}  // namespace
}  // namespace rendlow::test
