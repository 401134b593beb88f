// What the window is told after an output: one message, once every file is written, with the
// tone of the worst that happened, naming what was written and what was not.

#include <gtest/gtest.h>

#include <filesystem>

#include "app/load_flow.h"
#include "app/output_flow.h"
#include "job_fixture.h"

namespace rendlow::test {
namespace {

// A window that notes, for each message, whether the chart stood when it was shown.
class WatchingForm : public MemoryForm {
public:
  explicit WatchingForm(std::string chart) : chart_(std::move(chart)) {}
  void showMessage(const Message& message, Tone tone) override {
    MemoryForm::showMessage(message, tone);
    chartStood.push_back(std::filesystem::exists(chart_));
  }
  std::vector<bool> chartStood;

private:
  std::string chart_;
};

TEST(OutputMessage, EachOutputIsToldOnceAfterEverythingIsWritten) {
  const Bytes damaged(kExampleSong.begin(), kExampleSong.begin() + 300);
  const struct {
    const char* name;
    Bytes song;
    std::string output;
    OutputChoice choice;
    std::size_t messages;  // 0 or 1
    Tone tone;
    std::string firstLine;
    std::vector<std::string> says;  // in the English text, in this order
  } cases[] = {
      {"chart and rendering", kExampleSong, "song_out.mid", OutputChoice::MidiAndChart, 1, Tone::Information,
       "The rendering MIDI file was written.", {"Written: song_out.mid, song.txt, song_out.bme", "Not written: -"}},
      {"rendering alone", kExampleSong, "song_out.mid", OutputChoice::MidiOnly, 1, Tone::Information,
       "The rendering MIDI file was written.", {"Written: song_out.mid, song.txt\n"}},
      {"settings alone", kExampleSong, "song_out.mid", OutputChoice::SettingsOnly, 0, Tone::Information, "", {}},
      {"a damaged song", damaged, "song_out.mid", OutputChoice::MidiAndChart, 1, Tone::Warning,
       "The rendering MIDI file was written.", {"The MIDI file is damaged.", "Written: song_out.mid"}},
      // One note far past the last measure a chart can number.
      {"a refused chart", appSong("past_the_last_measure.mid"), "song_out.mid", OutputChoice::MidiAndChart, 1, Tone::Error,
       "The chart was not written.", {"Written: song.txt", "Not written: song_out.mid, song_out.bme"}},
      {"a rendering that cannot be written", kExampleSong, "missing/out.mid", OutputChoice::MidiAndChart, 1,
       Tone::Error, "The rendering MIDI file could not be written.", {"Written: song.txt"}},
      {"an output over the song", kExampleSong, "song.mid", OutputChoice::MidiAndChart, 1, Tone::Error, "", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    JobRun job(c.song);
    WorkingFolder here(job.dir.path());
    WatchingForm window(job.dir.file("song_out.bme"));
    ASSERT_TRUE(openInWindow(job.app, window, "song.mid"));
    const std::size_t toldAtLoad = window.messages().size();
    (void)runOutput(job.app, {c.output, {}, c.choice}, &window);
    ASSERT_EQ(window.messages().size() - toldAtLoad, c.messages);
    if (c.messages == 0) continue;
    const Message& told = window.messages().back();
    EXPECT_EQ(window.tones().back(), c.tone);
    if (!c.firstLine.empty()) EXPECT_EQ(firstLine(told), c.firstLine);
    const std::string& text = told.in(Audience::EnglishConsole);
    std::size_t from = 0;
    for (const std::string& part : c.says) {
      const std::size_t at = text.find(part, from);
      EXPECT_NE(at, std::string::npos) << part << " in\n" << text;
      from = at == std::string::npos ? from : at;
    }
    // Told once everything stands: a chart the output wrote is there already.
    EXPECT_EQ(window.chartStood.back(), std::filesystem::exists(job.dir.file("song_out.bme")));
  }
}

}  // namespace
}  // namespace rendlow::test
