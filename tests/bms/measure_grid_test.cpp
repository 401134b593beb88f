#include "bms/measure_grid.h"

#include <gtest/gtest.h>

#include <climits>

#include "app/project.h"

namespace rendlow {
namespace {

struct Grid {
  int32_t start;
  int32_t length;
  bool operator==(const Grid&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Grid& g) {
  return out << "{" << g.start << ", " << g.length << "}";
}

void addBeat(Project& project, int32_t tick, int32_t numerator, int32_t denominator) {
  auto beat = std::make_shared<Beat>();
  beat->numerator = numerator;
  beat->denominator = denominator;
  beat->tick = tick;
  beat->shiftedTick = tick;
  project.beats.push_back(beat);
}

// A song as the grid sees it: its end, its division and (added by the test) its time signatures.
struct Song {
  explicit Song(int32_t songEnd, int16_t division = 480) {
    project.header.division = division;
    project.songEnd = songEnd;
  }
  Project project;
};

std::vector<Grid> gridOf(const Project& project) {
  std::vector<Grid> grid;
  for (const auto& m : project.measures) {
    EXPECT_EQ(m->index, static_cast<int32_t>(grid.size()));
    grid.push_back({m->startTick, m->length});
  }
  return grid;
}

TEST(BuildMeasures, CoversTheSongWithMeasuresOfItsTimeSignatures) {
  Song projectSong(7680);
  Project& project = projectSong.project;
  addBeat(project, 0, 4, 4);
  buildMeasures(project);
  EXPECT_EQ(gridOf(project), (std::vector<Grid>{{0, 1920}, {1920, 1920}, {3840, 1920}, {5760, 1920}}));
}

TEST(BuildMeasures, AChangeTakesEffectFromTheMeasureThatStartsAtOrAfterIt) {
  Song projectSong(4000);
  Project& project = projectSong.project;
  addBeat(project, 0, 4, 4);
  addBeat(project, 1920, 3, 4);
  buildMeasures(project);
  EXPECT_EQ(gridOf(project), (std::vector<Grid>{{0, 1920}, {1920, 1440}, {3360, 1440}}));

  Song insideSong(4000);
  Project& inside = insideSong.project;
  addBeat(inside, 0, 4, 4);
  addBeat(inside, 960, 6, 8);
  buildMeasures(inside);
  EXPECT_EQ(gridOf(inside), (std::vector<Grid>{{0, 1920}, {1920, 1440}, {3360, 1440}}));
}

TEST(BuildMeasures, LengthsInSinglePrecision) {
  const auto lengthOf = [](int32_t numerator, int32_t denominator, int32_t division) {
    Beat beat;
    beat.numerator = numerator;
    beat.denominator = denominator;
    return measureLength(&beat, division);
  };
  EXPECT_EQ(lengthOf(3, 4, 480), 1440);
  EXPECT_EQ(lengthOf(6, 8, 480), 1440);
  EXPECT_EQ(lengthOf(7, 8, 480), 1680);
  EXPECT_EQ(lengthOf(5, 16, 96), 120);
  EXPECT_EQ(lengthOf(1, 3, 100), 133);  // 1/3 x 400, truncated
  EXPECT_EQ(lengthOf(127, 1, 32767), 16645636);
}

TEST(BuildMeasures, ASongWithoutTimeSignaturesIsMeasuredInFourFour) {
  Song projectSong(5000, 96);
  Project& project = projectSong.project;
  buildMeasures(project);
  EXPECT_EQ(gridOf(project).size(), 14u);
  EXPECT_EQ(gridOf(project).back(), (Grid{13 * 384, 384}));
}

TEST(BuildMeasures, UnusableTimeSignaturesCountAsFourFourAndTheBuildingEnds) {
  Song zeroSong(3000);
  Project& zero = zeroSong.project;
  addBeat(zero, 0, 0, 4);
  buildMeasures(zero);
  EXPECT_EQ(gridOf(zero), (std::vector<Grid>{{0, 1920}, {1920, 1920}}));

  Song noDenominatorSong(3000);
  Project& noDenominator = noDenominatorSong.project;  // an exponent above 30 stores denominator 0
  addBeat(noDenominator, 0, 4, 0);
  addBeat(noDenominator, 1920, -3, 4);
  buildMeasures(noDenominator);
  EXPECT_EQ(gridOf(noDenominator), (std::vector<Grid>{{0, 1920}, {1920, 1920}}));

  Song tinySong(100, 8);
  Project& tiny = tinySong.project;  // 1/64 of four quarters of 8 ticks is half a tick
  addBeat(tiny, 0, 1, 64);
  buildMeasures(tiny);
  EXPECT_EQ(gridOf(tiny).front(), (Grid{0, 32}));
}

TEST(BuildMeasures, ASongThatEndsAtZeroHasNoMeasures) {
  Song projectSong(0);
  Project& project = projectSong.project;
  addBeat(project, 0, 4, 4);
  buildMeasures(project);
  EXPECT_TRUE(project.measures.empty());
}

TEST(BuildMeasures, AHugeSongStopsAtTheMeasureBound) {
  Song projectSong(INT32_MAX, 1);
  Project& project = projectSong.project;
  buildMeasures(project);
  EXPECT_EQ(project.measures.size(), kMaxMeasures);
}

TEST(BuildMeasures, TimeSignaturesAreTakenInReadingOrder) {
  // A later track's time signature at an earlier tick: the read-order scan stops at the first
  // entry that lies later, exactly as beatAt does, so 3/4 takes effect only once 2/4 is passed.
  Song projectSong(6000);
  Project& project = projectSong.project;
  addBeat(project, 0, 4, 4);
  addBeat(project, 3840, 2, 4);
  addBeat(project, 1920, 3, 4);
  buildMeasures(project);
  EXPECT_EQ(gridOf(project), (std::vector<Grid>{{0, 1920}, {1920, 1920}, {3840, 1440}, {5280, 1440}}));
}

TEST(PlaceInMeasure, ExactFractionsWithTheSmallestResolution) {
  const Measure measure{0, 0, 1920};
  EXPECT_EQ(placeInMeasure(measure, 0), (Placement{0, 1}));
  EXPECT_EQ(placeInMeasure(measure, 960), (Placement{1, 2}));
  EXPECT_EQ(placeInMeasure(measure, 480), (Placement{1, 4}));
  EXPECT_EQ(placeInMeasure(measure, 640), (Placement{1, 3}));
  EXPECT_EQ(placeInMeasure(measure, 120), (Placement{1, 16}));
  EXPECT_EQ(placeInMeasure(measure, 1180), (Placement{59, 96}));
  EXPECT_EQ(placeInMeasure(measure, 1185), (Placement{79, 128}));
}

TEST(PlaceInMeasure, InexactOffsetsRoundDownToA192nd) {
  const Measure measure{0, 0, 1920};
  EXPECT_EQ(placeInMeasure(measure, 1), (Placement{0, 192}));
  EXPECT_EQ(placeInMeasure(measure, 822), (Placement{82, 192}));
  EXPECT_EQ(placeInMeasure(measure, 1189), (Placement{118, 192}));
  EXPECT_EQ(placeInMeasure(measure, 1919), (Placement{191, 192}));
}

TEST(PlaceInMeasure, CountsFromTheMeasureStart) {
  const Measure measure{3, 5000, 1440};
  EXPECT_EQ(placeInMeasure(measure, 5000 + 480), (Placement{1, 3}));
  EXPECT_EQ(placeInMeasure(measure, 5000 + 1439), (Placement{191, 192}));
  const Measure shortOne{0, 0, 100};
  EXPECT_EQ(placeInMeasure(shortOne, 37), (Placement{37, 100}));
  const Measure longOne{0, INT32_MAX - 16645635, 16645636};  // its last tick is the largest
  EXPECT_EQ(placeInMeasure(longOne, INT32_MAX), (Placement{191, 192}));
}

TEST(MeasureCursor, WalksForwardAndNeverBack) {
  Song projectSong(7680);
  Project& project = projectSong.project;
  addBeat(project, 0, 4, 4);
  buildMeasures(project);
  MeasureCursor cursor(project);
  EXPECT_EQ(cursor.measureFor(0)->index, 0);
  EXPECT_EQ(cursor.measureFor(1919)->index, 0);
  EXPECT_EQ(cursor.measureFor(1920)->index, 1);
  EXPECT_EQ(cursor.measureFor(7679)->index, 3);
  EXPECT_EQ(cursor.measureFor(100)->index, 3);
  EXPECT_EQ(project.measures.size(), 4u);
}

TEST(MeasureCursor, ANoteAtTheEndOfASongEndingOnABarLineGetsAMeasureOfItsOwn) {
  Song projectSong(7680);
  Project& project = projectSong.project;
  addBeat(project, 0, 4, 4);
  addBeat(project, 7680, 3, 4);
  buildMeasures(project);
  ASSERT_EQ(project.measures.size(), 4u);
  MeasureCursor cursor(project);
  const auto measure = cursor.measureFor(7680);
  ASSERT_TRUE(measure);
  EXPECT_EQ(measure->index, 4);
  EXPECT_EQ((Grid{measure->startTick, measure->length}), (Grid{7680, 1440}));
  EXPECT_EQ(placeInMeasure(*measure, 7680), (Placement{0, 1}));
  EXPECT_EQ(project.measures.size(), 5u);
}

TEST(MeasureCursor, AppendsUntilTheTickLiesInsideAMeasure) {
  Song projectSong(0);
  Project& project = projectSong.project;
  MeasureCursor cursor(project);
  const auto measure = cursor.measureFor(5000);
  ASSERT_TRUE(measure);
  EXPECT_EQ(gridOf(project), (std::vector<Grid>{{0, 1920}, {1920, 1920}, {3840, 1920}}));
  EXPECT_EQ(measure->index, 2);
  // Another track's cursor finds the measures the first one appended.
  MeasureCursor other(project);
  EXPECT_EQ(other.measureFor(4000)->index, 2);
}

TEST(MeasureCursor, GivesNothingPastTheMeasureBound) {
  Song projectSong(0, 1);
  Project& project = projectSong.project;
  MeasureCursor cursor(project);
  EXPECT_FALSE(cursor.measureFor(INT32_MAX));
  EXPECT_EQ(project.measures.size(), kMaxMeasures);
  EXPECT_TRUE(cursor.measureFor(4 * 9999));
}

}  // namespace
}  // namespace rendlow
