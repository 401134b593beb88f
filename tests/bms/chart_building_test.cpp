#include "bms/chart_building.h"

#include <gtest/gtest.h>

#include "bms/measure_grid.h"
#include "support/converted_track.h"

namespace rendlow {
namespace {

class ChartBuilding : public ::testing::Test {
protected:
  ChartBuilding() { project.header.division = 480; }

  std::shared_ptr<BMSTrack> build(const std::shared_ptr<MidiTrack>& track) {
    return buildChartTrack(track, project, nextWavId);
  }

  Project project;
  int32_t nextWavId = 1;
};

TEST_F(ChartBuilding, EachTrackTakesItsIdRangeAndLeavesTheGapFree) {
  test::ConvertedTrack first(project);
  for (int d = 0; d < 5; ++d) first.note(d * 480, d, d);
  test::ConvertedTrack second(project);
  second.note(0, 0, 0);
  second.note(480, 1, 0);
  second.note(960, 0, 0);
  first.finish();
  second.finish();
  buildMeasures(project);

  const auto a = build(first.track);
  EXPECT_EQ(a->firstWav, 1);
  EXPECT_EQ(a->maxDefinition, 4);
  EXPECT_EQ(nextWavId, 8);
  const auto b = build(second.track);
  EXPECT_EQ(b->firstWav, 8);
  EXPECT_EQ(b->maxDefinition, 1);
  EXPECT_EQ(nextWavId, 12);
  ASSERT_EQ(b->notes.size(), 3u);
  EXPECT_EQ(b->notes[1]->wav, 9);
  EXPECT_EQ(b->notes[2]->wav, 8);
  EXPECT_EQ(b->notes[1]->fileNumber, 1);
}

TEST_F(ChartBuilding, ASingleDefinitionAdvancesByOnePlusTheGap) {
  test::ConvertedTrack track(project);
  track.note(0, 0, 0);
  track.note(3840, 0, 0);
  track.track->settings.wavDefinitionGap = 5;
  track.finish();
  buildMeasures(project);
  nextWavId = 12;
  const auto chart = build(track.track);
  EXPECT_EQ(chart->maxDefinition, 0);
  EXPECT_EQ(chart->notes[1]->wav, 12);
  EXPECT_EQ(nextWavId, 18);
}

TEST_F(ChartBuilding, ATempoOnlyTrackPlacesTempoObjectsAndKeepsTheIdCounter) {
  test::ConvertedTrack conductor(project);
  conductor.tempo(0, 120.0f);
  conductor.tempo(2400, 150.5f);
  conductor.finish();
  project.songEnd = 7680;
  buildMeasures(project);
  nextWavId = 5;
  const auto chart = build(conductor.track);
  EXPECT_TRUE(chart->notes.empty());
  EXPECT_EQ(nextWavId, 5);
  ASSERT_EQ(project.chartBpms.size(), 2u);
  const BMSBPM& later = *project.chartBpms[1];
  EXPECT_EQ(later.tempoIndex, 1);
  EXPECT_EQ(later.bpm, 150.5f);
  EXPECT_EQ(later.tick, 2400);
  EXPECT_EQ(later.measureIndex, 1);
  EXPECT_EQ(later.position, 1);
  EXPECT_EQ(later.resolution, 4);
}

TEST_F(ChartBuilding, NotesArePlacedByTheirSongTickInTheirMeasure) {
  test::ConvertedTrack track(project);
  track.note(960, 0, 0);
  track.note(1920, 1, 1);
  track.note(1920 + 1185, 2, 2);
  track.note(1920 + 1189, 3, 3);
  track.finish();
  buildMeasures(project);
  const auto chart = build(track.track);
  ASSERT_EQ(chart->notes.size(), 4u);
  const auto at = [&](std::size_t i) {
    const BMSNote& n = *chart->notes[i];
    return std::make_tuple(n.measureIndex, n.position, n.resolution);
  };
  EXPECT_EQ(at(0), std::make_tuple(0, 1, 2));
  EXPECT_EQ(at(1), std::make_tuple(1, 0, 1));
  EXPECT_EQ(at(2), std::make_tuple(1, 79, 128));
  EXPECT_EQ(at(3), std::make_tuple(1, 118, 192));
  EXPECT_EQ(chart->notes[0]->measure.lock(), project.measures[0]);
}

TEST_F(ChartBuilding, AChainIsOneObjectAtItsHead) {
  test::ConvertedTrack track(project);
  const auto head = track.note(480, 0, 0, 0);
  track.member(head, 480);
  track.member(head, 720);
  track.note(1440, 1, 1, 1);
  track.finish();
  buildMeasures(project);
  const auto chart = build(track.track);
  ASSERT_EQ(chart->notes.size(), 2u);
  EXPECT_EQ(chart->notes[0]->tick, 480);
  EXPECT_EQ(chart->notes[1]->voice, 1);
  EXPECT_EQ(chart->notes[1]->wav, 2);
}

TEST_F(ChartBuilding, AnObjectPastTheGridGetsAMeasureOfItsOwn) {
  test::ConvertedTrack track(project);
  track.note(0, 0, 0, 0, 0);
  track.note(3840, 1, 1, 0, 0);  // the song ends on a measure boundary
  track.finish();
  buildMeasures(project);
  ASSERT_EQ(project.measures.size(), 2u);
  const auto chart = build(track.track);
  ASSERT_EQ(project.measures.size(), 3u);
  EXPECT_EQ(chart->notes[1]->measureIndex, 2);
  EXPECT_EQ(chart->notes[1]->position, 0);
}

}  // namespace
}  // namespace rendlow
