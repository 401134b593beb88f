// The chart step of the output flow: which button writes a chart, when, and what the user hears
// when the chart cannot be written.

#include <gtest/gtest.h>

#include <filesystem>

#include "app/application.h"
#include "app/chart_output.h"
#include "support/chart_text.h"
#include "support/interop_export.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"
#include "support/whole_job.h"

namespace rendlow {
namespace {

using test::OutputButton;

bool exists(const std::string& path) { return std::filesystem::exists(path); }

class ChartFlow : public ::testing::Test {
protected:
  ChartFlow() {
    test::MidiBuilder song;
    song.track().name("Conductor").tempo(0, 500000).timeSignature(0, 4, 2).endOfTrack(3840);
    song.track().name("Piano").noteOn(0, 0, 60, 100).noteOff(480, 0, 60).endOfTrack(3840);
    song.track().name("Bass").noteOn(960, 1, 36, 100).noteOff(1440, 1, 36).endOfTrack(3840);
    song.write(input);
  }

  OutputResult press(OutputButton button, std::vector<test::RowEdit> edits = {}) {
    return test::runWholeJob(app, form, input, output, {std::move(edits), {}, button});
  }

  Application app;
  test::TestForm form;
  test::TempDir dir;
  const std::string input = dir.file("song.mid");
  const std::string output = dir.file("song_out.mid");
  const std::string chart = dir.file("song_out.bme");
};

TEST_F(ChartFlow, MidiAndChartWritesTheChartAfterTheMessageIsClosed) {
  bool chartBeforeMessage = true;
  form.onMessage = [&](const std::string&) { chartBeforeMessage = exists(chart); };
  const OutputResult result = press(OutputButton::MidiAndChart);
  EXPECT_TRUE(result.ok());
  EXPECT_EQ(form.messages, std::vector<std::string>{kMidiWrittenMessage});
  EXPECT_FALSE(chartBeforeMessage);
  EXPECT_TRUE(exists(output));
  EXPECT_TRUE(exists(dir.file("song.txt")));
  ASSERT_TRUE(result.chart);
  EXPECT_EQ(result.chart->path, chart);
  EXPECT_TRUE(result.chart->status);
  EXPECT_NE(test::readTextFile(chart).find("#WAV01 tr01_01.wav\n#WAV04 tr02_01.wav\n"), std::string::npos);
  test::exportChartForInterop(app.project, input, chart);
}

TEST_F(ChartFlow, TheOtherButtonsWriteNoChart) {
  const OutputResult midi = press(OutputButton::Midi);
  EXPECT_TRUE(exists(output));
  EXPECT_FALSE(midi.chart);
  const OutputResult settings = press(OutputButton::SettingsOnly);
  EXPECT_FALSE(settings.chart);
  EXPECT_FALSE(exists(chart));
}

TEST_F(ChartFlow, AnUncheckedRowTakesNoPartInTheChart) {
  press(OutputButton::MidiAndChart, {{0, [](TrackSettings& s) { s.enabled = false; }}});
  const std::string text = test::readTextFile(chart);
  EXPECT_EQ(text.find("tr01_"), std::string::npos);
  EXPECT_NE(text.find("\n#WAV01 tr02_01.wav\n\n"), std::string::npos) << text;
  test::exportChartForInterop(app.project, input, chart);
}

TEST_F(ChartFlow, AChartThatCannotBeWrittenIsAFailureNamingTheFile) {
  std::filesystem::create_directory(chart);  // nothing can replace a folder with a file
  const OutputResult result = press(OutputButton::MidiAndChart);
  EXPECT_TRUE(exists(output));
  EXPECT_FALSE(result.ok());
  ASSERT_TRUE(result.chart);
  EXPECT_FALSE(result.chart->status);
  EXPECT_FALSE(result.chartRefused);
  ASSERT_EQ(form.messages.size(), 2u);
  EXPECT_EQ(form.messages[0], kMidiWrittenMessage);
  EXPECT_EQ(form.messages[1], chartFailedMessage(chart, result.chart->status.reason));
  EXPECT_EQ(result.problems, std::vector<std::string>{form.messages[1]});
}

// A song whose every note is a sound of its own: more ids than a chart can hold.
TEST(ChartFlowLimits, AChartPastALimitIsRefusedWhileTheOtherFilesAreWritten) {
  test::TempDir dir;
  test::MidiBuilder song;
  song.track().name("Conductor").tempo(0, 500000).timeSignature(0, 4, 2).endOfTrack(1300 * 240);
  auto& notes = song.track().name("Notes");
  for (int i = 0; i < 1300; ++i) {
    const int pitch = 30 + i % 60;
    notes.noteOn(i * 240, 0, pitch, 100).noteOff(i * 240 + 10 + i / 60, 0, pitch);
  }
  notes.endOfTrack(1300 * 240);
  song.write(dir.file("song.mid"));
  Application app;
  test::TestForm form;
  const OutputResult result = test::runWholeJob(app, form, dir.file("song.mid"), dir.file("song_out.mid"));
  EXPECT_TRUE(result.ok());
  EXPECT_TRUE(result.midi->status);
  EXPECT_TRUE(result.settings->status);
  ASSERT_TRUE(result.chart);
  EXPECT_TRUE(result.chartRefused);
  EXPECT_FALSE(exists(dir.file("song_out.bme")));
  ASSERT_EQ(form.messages.size(), 2u);
  EXPECT_EQ(form.messages[1], chartRefusedMessage(dir.file("song_out.bme"), result.chart->status.reason));
  EXPECT_EQ(result.chart->status.reason, wavIdBreach(1300, 1295));
}

}  // namespace
}  // namespace rendlow
