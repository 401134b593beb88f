#include "bms/chart_limits.h"

#include <gtest/gtest.h>

#include "bms/bms_writer.h"
#include "base/messages.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"

namespace rendlow {
namespace {

class ChartLimits : public ::testing::Test {
protected:
  ChartLimits() {
    source->maxPolyphony = 1;
    chart->track = source;
    project.tracks.push_back(source);
    project.chartTracks.push_back(chart);
  }

  void addNote(int32_t wav, int32_t measure) {
    auto note = std::make_shared<BMSNote>();
    note->wav = wav;
    note->measureIndex = measure;
    note->position = 0;
    chart->notes.push_back(note);
  }

  // Writes the chart into a fresh folder: the status, and whether a file appeared.
  std::pair<WriteStatus, bool> write() {
    test::TempDir dir;
    const std::string path = dir.file("song.bme");
    const WriteStatus status = writeBmsFile(project, path);
    return {status, !test::readBytes(path).empty()};
  }

  Project project;
  std::shared_ptr<MidiTrack> source = std::make_shared<MidiTrack>();
  std::shared_ptr<BMSTrack> chart = std::make_shared<BMSTrack>();
};

TEST_F(ChartLimits, TheLargestIdAndTheLastMeasureFit) {
  chart->firstWav = 1290;
  chart->maxDefinition = 5;
  addNote(1295, 998);  // the closing block is measure 999
  EXPECT_EQ(chartLimitBreach(project), std::nullopt);
  const auto [status, written] = write();
  EXPECT_TRUE(status);
  EXPECT_TRUE(written);
}

TEST_F(ChartLimits, AnIdPastZZRefusesTheChartAndSaysHowToShareMore) {
  chart->firstWav = 1290;
  chart->maxDefinition = 10;
  addNote(1290, 0);
  const auto breach = chartLimitBreach(project);
  ASSERT_TRUE(breach);
  EXPECT_EQ(*breach, wavIdBreach(1300, 1295));
  // The reason counts the ids and names the settings that share more (ASCII parts of the text).
  for (const char* part : {"1300", "1295", " 5 ", "BPM", "#WAV"})
    EXPECT_NE(breach->find(part), std::string::npos) << part;
  EXPECT_EQ(formatBmsChart(project).refusal, breach);
  const auto [status, written] = write();
  EXPECT_FALSE(status);
  EXPECT_EQ(status.reason, *breach);
  EXPECT_FALSE(written);
}

TEST_F(ChartLimits, AMeasurePast999RefusesTheChart) {
  chart->firstWav = 1;
  addNote(1, 999);
  const auto breach = chartLimitBreach(project);
  ASSERT_TRUE(breach);
  EXPECT_EQ(*breach, measureBreach(1000, 999, false));
  EXPECT_FALSE(write().second);
}

TEST_F(ChartLimits, TooManyTempoChangesRefuseTheChart) {
  chart->firstWav = 1;
  addNote(1, 0);
  for (int i = 0; i < 1300; ++i) {
    auto tempo = std::make_shared<Tempo>();
    tempo->index = i;
    tempo->bpm = 120.0f;
    project.tempos.push_back(tempo);
  }
  const auto breach = chartLimitBreach(project);
  ASSERT_TRUE(breach);
  EXPECT_EQ(*breach, bpmIdBreach(1299, 1295));
}

TEST_F(ChartLimits, AnObjectBeyondTheLongestGridIsCountedAsPastTheLimit) {
  chart->firstWav = 1;
  addNote(1, 10000);
  chart->notes.back()->position = -1;
  const auto breach = chartLimitBreach(project);
  ASSERT_TRUE(breach);
  EXPECT_EQ(*breach, measureBreach(10001, 999, true));
}

TEST_F(ChartLimits, ALineTooFineToWriteRefusesTheChartNamingItsMeasure) {
  chart->firstWav = 1;
  chart->maxDefinition = 2;
  addNote(1, 0);
  // Three objects whose resolutions need 191 x 181 x 179 slots on one line: past its bound.
  for (const auto& [position, resolution] : {std::pair{1, 191}, {2, 181}, {3, 179}}) {
    addNote(2, 3);
    chart->notes.back()->position = position;
    chart->notes.back()->resolution = resolution;
  }
  EXPECT_EQ(chartLimitBreach(project), std::nullopt);  // within the format's limits
  EXPECT_EQ(formatBmsChart(project).refusal, lineSlotsBreach(3, 1, kMaxLineSlots));
}

}  // namespace
}  // namespace rendlow
