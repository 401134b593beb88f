#include "app/chart_output.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/application.h"
#include "app/form.h"
#include "support/chart_text.h"
#include "support/converted_track.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"

namespace rendlow {
namespace {

class MessageForm : public Form {
public:
  bool hasControl(int) const override { return true; }
  std::string text(int) const override { return {}; }
  void setText(int, std::string_view) override {}
  void clearSelection() override {}
  void clearRows() override {}
  void addRow(std::string_view) override {}
  void refreshRow(int, const TrackSettings&) override {}
  void showMessage(std::string_view text) override { messages.emplace_back(text); }

  std::vector<std::string> messages;
};

TEST(ChartPath, TheLastFourBytesBecomeBme) {
  EXPECT_EQ(chartPathFor("C:\\a\\song_out.mid"), "C:\\a\\song_out.bme");
  EXPECT_EQ(chartPathFor("C:\\a\\song"), "C:\\a\\.bme");
  EXPECT_EQ(chartPathFor("abcde"), "a.bme");
  EXPECT_EQ(chartPathFor("abcd"), std::nullopt);
  EXPECT_EQ(chartPathFor(""), std::nullopt);
}

// A converted song: a conductor with its tempo, a track with two sounds, a disabled track and a
// track without content.
class ChartOutput : public ::testing::Test {
protected:
  ChartOutput() {
    Project& project = app.project;
    project.header.division = 480;
    test::ConvertedTrack conductor(project, "conductor");
    conductor.tempo(0, 150.0f);
    conductor.finish();
    test::ConvertedTrack piano(project, "piano");
    piano.note(0, 0, 0);
    piano.note(960, 1, 1);
    piano.finish();
    test::ConvertedTrack muted(project, "muted");
    muted.note(480, 0, 0);
    muted.finish()->settings.enabled = false;
    test::ConvertedTrack silent(project, "silent");
    silent.note(0, 0, 0, 0, 0);
    silent.finish()->hasContent = false;
    project.songEnd = 1920;
    app.nextWavId = 40;  // left over from an earlier chart
  }

  Application app;
  MessageForm form;
  test::TempDir dir;
};

TEST_F(ChartOutput, WritesTheChartOfTheTracksThatTakePart) {
  const ChartResult result = writeChart(app, form, dir.file("song_out.mid"));
  EXPECT_EQ(result.outcome, ChartOutcome::Written);
  EXPECT_EQ(result.path, dir.file("song_out.bme"));
  EXPECT_TRUE(form.messages.empty());
  EXPECT_EQ(app.project.chartTracks.size(), 2u);
  EXPECT_EQ(app.nextWavId, 5);
  const std::string chart = test::readTextFile(dir.file("song_out.bme"));
  EXPECT_NE(chart.find("#BPM 150.000000\n"), std::string::npos);
  EXPECT_NE(chart.find("\n#WAV01 piano_01.wav\n#WAV02 piano_02.wav\n\n\n#00001:0102\n\n#00101:00\n\n"),
            std::string::npos)
      << chart;
  EXPECT_EQ(chart.find("muted"), std::string::npos);
}

TEST_F(ChartOutput, EveryChartStartsFromAnEmptyModel) {
  ASSERT_EQ(writeChart(app, form, dir.file("a.mid")).outcome, ChartOutcome::Written);
  ASSERT_EQ(writeChart(app, form, dir.file("b.mid")).outcome, ChartOutcome::Written);
  EXPECT_EQ(app.project.chartTracks.size(), 2u);
  EXPECT_EQ(app.project.chartBpms.size(), 1u);
  EXPECT_EQ(test::readTextFile(dir.file("a.bme")), test::readTextFile(dir.file("b.bme")));
}

TEST_F(ChartOutput, AShortPathWritesNothingAndSaysNothing) {
  const ChartResult result = writeChart(app, form, ".mid");
  EXPECT_EQ(result.outcome, ChartOutcome::NoChartPath);
  EXPECT_TRUE(result.path.empty());
  EXPECT_TRUE(form.messages.empty());
  EXPECT_TRUE(app.project.chartTracks.empty());
}

TEST_F(ChartOutput, AFileThatCannotBeWrittenIsReportedWithItsPath) {
  const std::string path = dir.file("missing/song_out.mid");
  const ChartResult result = writeChart(app, form, path);
  EXPECT_EQ(result.outcome, ChartOutcome::Failed);
  ASSERT_EQ(form.messages.size(), 1u);
  EXPECT_FALSE(result.reason.empty());
  EXPECT_EQ(form.messages[0], chartFailedMessage(dir.file("missing/song_out.bme"), result.reason));
  EXPECT_EQ(result.message, form.messages[0]);
}

TEST_F(ChartOutput, AChartPastTheIdLimitIsRefusedAndTheUserToldWhy) {
  app.project.tracks[1]->settings.wavDefinitionGap = 1300;
  test::ConvertedTrack late(app.project, "late");
  late.note(0, 0, 0);
  late.finish();
  const std::string path = dir.file("song_out.mid");
  const ChartResult result = writeChart(app, form, path);
  EXPECT_EQ(result.outcome, ChartOutcome::Refused);
  EXPECT_EQ(result.reason, wavIdBreach(1303, 1295));
  EXPECT_EQ(form.messages,
            std::vector<std::string>{chartRefusedMessage(dir.file("song_out.bme"), result.reason)});
  EXPECT_TRUE(test::readBytes(dir.file("song_out.bme")).empty());
}

}  // namespace
}  // namespace rendlow
