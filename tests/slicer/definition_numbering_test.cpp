#include <gtest/gtest.h>

#include "slicer/definition_numbering.h"
#include "slicing_helpers.h"

namespace rendlow::test {
namespace {

using Ints = std::vector<int32_t>;

struct Numbers {
  Ints definitions, sounds, variants, firsts;
};

Numbers numbersOf(const MidiTrack& track) {
  return {field(track, &Note::definition), field(track, &Note::sound), field(track, &Note::variant),
          field(track, &Note::firstOccurrence)};
}

// One sound (the same short note) at each of the ticks.
Numbers oneSoundAt(std::initializer_list<int32_t> ticks, int32_t threshold,
                   SplitMethod split = SplitMethod::Chord) {
  TrackMaker maker;
  maker.tempo(0, 120.0f);
  for (int32_t tick : ticks) maker.note(tick, 5, 60);
  TrackSettings settings = withSplit(split);
  settings.multipleThreshold = threshold;
  return numbersOf(*sliced(maker, settings));
}

TEST(Numbering, TheFirstNoteIntroducesDefinitionAndSoundZero) {
  const Numbers n = oneSoundAt({100}, 0);
  EXPECT_EQ(n.definitions, (Ints{0}));
  EXPECT_EQ(n.sounds, (Ints{0}));
  EXPECT_EQ(n.variants, (Ints{0}));
  EXPECT_EQ(n.firsts, (Ints{1}));
}

TEST(Numbering, AnOccurrenceTooCloseToTheLastGetsAFurtherDefinition) {
  const Numbers below = oneSoundAt({0, 10, 20}, 15);
  EXPECT_EQ(below.definitions, (Ints{0, 1, 0}));
  EXPECT_EQ(below.sounds, (Ints{0, 0, 0}));
  EXPECT_EQ(below.variants, (Ints{0, 1, 0}));
  EXPECT_EQ(below.firsts, (Ints{1, 0, 0}));

  const Numbers above = oneSoundAt({0, 10, 20}, 25);
  EXPECT_EQ(above.definitions, (Ints{0, 1, 2}));
  EXPECT_EQ(above.sounds, (Ints{0, 0, 0}));
  EXPECT_EQ(above.variants, (Ints{0, 1, 2}));
}

TEST(Numbering, AnExcludedVariantIsNotReusedFurtherBack) {
  // 30 reuses definition 0; 40 finds 30 too close, and the note at 0 carries the excluded variant.
  const Numbers n = oneSoundAt({0, 30, 40}, 25);
  EXPECT_EQ(n.definitions, (Ints{0, 0, 1}));
  EXPECT_EQ(n.variants, (Ints{0, 0, 2}));
  EXPECT_EQ(n.firsts, (Ints{1, 0, 0}));
}

TEST(Numbering, WithThresholdZeroOnlyOccurrencesOnOneTickNeedTwoDefinitions) {
  const Numbers sameTick = oneSoundAt({0, 0}, 0, SplitMethod::Single);
  EXPECT_EQ(sameTick.definitions, (Ints{0, 1}));
  EXPECT_EQ(sameTick.sounds, (Ints{0, 0}));
  EXPECT_EQ(sameTick.variants, (Ints{0, 1}));

  const Numbers apart = oneSoundAt({0, 100, 2000}, 0);
  EXPECT_EQ(apart.definitions, (Ints{0, 0, 0}));
}

TEST(Numbering, AlternatingSoundsKeepTheirNumbers) {
  TrackMaker maker;
  maker.tempo(0, 120.0f).note(0, 100, 60).note(200, 100, 62).note(400, 100, 60).note(600, 100, 62);
  const Numbers n = numbersOf(*sliced(maker));
  EXPECT_EQ(n.definitions, (Ints{0, 1, 0, 1}));
  EXPECT_EQ(n.sounds, (Ints{0, 1, 0, 1}));
  EXPECT_EQ(n.firsts, (Ints{1, 1, 0, 0}));
}

TEST(Numbering, AChordIsNumberedThroughItsHead) {
  TrackMaker maker;
  maker.tempo(0, 120.0f);
  for (int32_t tick : {0, 1000, 2000}) maker.note(tick, 100, 60).note(tick, 100, 64).note(tick, 100, 67);
  maker.note(2000, 100, 72);  // joins the third chord, which becomes a new sound
  const Numbers n = numbersOf(*sliced(maker));
  EXPECT_EQ(n.definitions, (Ints{0, 0, 0, 0, 0, 0, 1, 1, 1, 1}));
  EXPECT_EQ(n.sounds, (Ints{0, 0, 0, 0, 0, 0, 1, 1, 1, 1}));
  EXPECT_EQ(n.firsts, (Ints{1, 1, 1, 0, 0, 0, 1, 1, 1, 1}));
}

TEST(Numbering, EveryNoteOfAnEarlierChainCountsAsAMatch) {
  // The second chord is too close to both notes of the first; each counts, so its variant is 2.
  TrackMaker maker;
  maker.tempo(0, 120.0f).note(0, 5, 60).note(0, 5, 64).note(10, 5, 60).note(10, 5, 64);
  TrackSettings settings;
  settings.multipleThreshold = 15;
  const Numbers n = numbersOf(*sliced(maker, settings));
  EXPECT_EQ(n.definitions, (Ints{0, 0, 1, 1}));
  EXPECT_EQ(n.variants, (Ints{0, 0, 2, 2}));
}

TEST(Numbering, NotesWithoutTempoAreAllDistinctUnlessTempoIsIgnored) {
  TrackMaker maker;
  maker.note(0, 100, 60).note(200, 100, 60);
  EXPECT_EQ(numbersOf(*sliced(maker)).sounds, (Ints{0, 1}));
  TrackMaker again;
  again.note(0, 100, 60).note(200, 100, 60);
  TrackSettings settings;
  settings.ignoreBpm = true;
  EXPECT_EQ(numbersOf(*sliced(again, settings)).sounds, (Ints{0, 0}));
}

TEST(Numbering, ATrackWithoutNotesIsLeftAlone) {
  TrackMaker maker;
  maker.controlChange(0, 7, 100).endOfTrack(10);
  auto track = sliced(maker);
  EXPECT_TRUE(track->notes.empty());
  EXPECT_EQ(track->events.size(), 2u);
  MidiTrack empty;
  numberDefinitions(empty);
  EXPECT_TRUE(empty.notes.empty());
}

}  // namespace
}  // namespace rendlow::test
