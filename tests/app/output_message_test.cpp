// What the window is told after an output: one message, once every file is written, with the
// tone of the worst that happened, naming what was written and what was not.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "app/load_flow.h"
#include "app/output_flow.h"
#include "job_fixture.h"
#include "support/case_table.h"

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

// The song a case names: the example song, its damaged head, or a song of the data folder.
Bytes songNamed(const std::string& name) {
  if (name == "example") return kExampleSong;
  if (name == "damaged") return Bytes(kExampleSong.begin(), kExampleSong.begin() + 300);
  return appSong(name);
}

OutputChoice outputNamed(const std::string& name) {
  if (name == "rendering") return OutputChoice::MidiOnly;
  return name == "settings" ? OutputChoice::SettingsOnly : OutputChoice::MidiAndChart;
}

Tone toneNamed(const std::string& name) {
  return name == "error" ? Tone::Error : name == "warning" ? Tone::Warning : Tone::Information;
}

TEST(OutputMessage, EachOutputIsToldOnceAfterEverythingIsWritten) {
  for (const CaseLine& c : readCaseTable("app/data/output_messages.txt")) {
    SCOPED_TRACE(c.where);
    JobRun job(songNamed(c.columns[1]));
    WorkingFolder here(job.dir.path());
    WatchingForm window(job.dir.file("song_out.bme"));
    ASSERT_TRUE(openInWindow(job.app, window, "song.mid"));
    const std::size_t toldAtLoad = window.messages().size();
    (void)runOutput(job.app, {c.columns[2], {}, outputNamed(c.columns[3])}, &window);
    ASSERT_EQ(window.messages().size() - toldAtLoad, std::stoul(c.columns[4]));
    if (c.columns[4] == "0") continue;
    const Message& told = window.messages().back();
    EXPECT_EQ(window.tones().back(), toneNamed(c.columns[5]));
    if (c.columns[6] != "-") {
      EXPECT_EQ(firstLine(told), c.columns[6]);
    }
    const std::string& text = told.in(Audience::EnglishConsole);
    std::size_t from = 0;
    std::istringstream parts(c.expected);
    for (std::string line; std::getline(parts, line);) {
      const std::string part = unescaped(line);
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
