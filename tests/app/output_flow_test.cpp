// The output: what it refuses before writing anything, what it tells after writing, and the
// files it stands by.

#include <gtest/gtest.h>

#include <filesystem>

#include "app/output_flow.h"
#include "base/messages.h"
#include "job_fixture.h"

namespace rendlow::test {
namespace {

namespace fs = std::filesystem;

std::string firstLine(const Message& message) {
  const std::string& text = message.in(Audience::EnglishConsole);
  return text.substr(0, text.find('\n'));
}

// The files in the job's folder besides the song, by name.
std::vector<std::string> written(const JobRun& job) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(job.dir.path())) {
    const std::string name = entry.path().filename().string();
    if (name != "song.mid") names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

struct Refusal {
  const char* name;
  JobRequest job;
  const char* firstLine;
};

TEST(OutputFlow, RefusesBeforeWritingAnythingWhenFilesWouldMeetOrSoundsShareNames) {
  JobRequest linkedOutput = request("song.mid");
  linkedOutput.outputPath = "link.mid";
  JobRequest chartOverRendering = request("song.mid");
  chartOverRendering.outputPath = "out.bme";
  JobRequest settingsOverRendering = request("song.mid");
  settingsOverRendering.outputPath = "song.txt";
  const Refusal cases[] = {
      {"a hard link to the song", linkedOutput, "Nothing was written: an output would replace the input MIDI file."},
      {"the chart over the rendering file", chartOverRendering, "Nothing was written: two outputs would be one file."},
      {"the settings file over the rendering file", settingsOverRendering,
       "Nothing was written: two outputs would be one file."},
      {"two rows named alike", request("song.mid", {*parseRowEdit("1:definitionName=tr01")}),
       "Nothing was written: two tracks share a definition name."},
  };
  for (const Refusal& c : cases) {
    SCOPED_TRACE(c.name);
    JobRun job;
    job.put("song.mid", readBytes(kExampleSong));
    fs::create_hard_link(job.dir.file("song.mid"), job.dir.file("link.mid"));
    const Result<JobReport> report = job.run(c.job);
    ASSERT_TRUE(report);
    EXPECT_TRUE(report->output.refused);
    ASSERT_EQ(report->output.told.size(), 1u);
    EXPECT_EQ(firstLine(report->output.told[0]), c.firstLine);
    EXPECT_EQ(written(job), std::vector<std::string>{"link.mid"});
    EXPECT_EQ(readBytes(job.dir.file("song.mid")), readBytes(kExampleSong));
  }
}

TEST(OutputFlow, AnUncheckedRowMayShareItsNameAndLeavesEveryFile) {
  JobRun job;
  job.put("song.mid", readBytes(kExampleSong));
  const Result<JobReport> report =
      job.run(request("song.mid", {*parseRowEdit("1:definitionName=tr01"), *parseRowEdit("1:enabled=0")}));
  ASSERT_TRUE(report && report->output.ok());
  EXPECT_EQ(job.read("song_out.bme").find("tr02"), std::string::npos);
  EXPECT_EQ(job.app.project.convertedTracks().size(), 3u);  // the conductor and two rows
}

TEST(OutputFlow, ADamagedSongIsConvertedAsFarAsItWasReadAndTheDamageToldAfterTheCompletion) {
  JobRun job;
  Bytes song = readBytes(kExampleSong);
  song.resize(300);
  job.put("song.mid", song);
  const Result<JobReport> report = job.run(request("song.mid"));
  ASSERT_TRUE(report);
  const OutputResult& output = report->output;
  EXPECT_TRUE(output.ok());
  EXPECT_TRUE(output.warned);
  ASSERT_EQ(output.told.size(), 1u);
  const std::string& told = output.told[0].in(Audience::EnglishConsole);
  EXPECT_EQ(firstLine(output.told[0]), "The MIDI file is damaged.");
  EXPECT_NE(told.find("the file ends inside it"), std::string::npos) << told;
  EXPECT_NE(told.find("the file ends after 2"), std::string::npos) << told;
  EXPECT_EQ(firstLine(job.form.messages()[0]), "The rendering MIDI file was written.");
  EXPECT_EQ(job.form.messages()[1].in(Audience::Window), output.told[0].in(Audience::Window));
}

TEST(OutputFlow, AChartPastItsIdsIsLeftOutWithAWarningAndTheOtherFilesStand) {
  // Over 1,300 notes of distinct pitch and length: more sounds than ids a chart can name.
  MidiBuilder builder;
  builder.track().tempoBpm(0, 120).endOfTrack(0);
  TrackBuilder& track = builder.track();
  int32_t tick = 0;
  for (int n = 0; n < 1400; ++n, tick += 480) track.noteOn(tick, 0, 30 + n % 60, 90).noteOff(tick + 10 + n / 60, 0, 30 + n % 60);
  track.endOfTrack(tick);
  JobRun job;
  job.put("song.mid", builder.bytes());
  const Result<JobReport> report = job.run(request("song.mid"));
  ASSERT_TRUE(report);
  EXPECT_TRUE(report->output.ok());
  EXPECT_TRUE(report->output.chartRefused);
  EXPECT_TRUE(report->output.warned);
  EXPECT_EQ(firstLine(report->output.told.back()), "The chart was not written.");
  EXPECT_EQ(written(job), (std::vector<std::string>{"song.txt", "song_out.mid"}));
}

TEST(OutputFlow, AFileThatCannotBeWrittenIsToldAndTheOthersAreStillWritten) {
  JobRun job;
  job.put("song.mid", readBytes(kExampleSong));
  JobRequest toMissingFolder = request("song.mid");
  toMissingFolder.outputPath = "missing/folder/out.mid";
  const Result<JobReport> report = job.run(toMissingFolder);
  ASSERT_TRUE(report);
  const OutputResult& output = report->output;
  EXPECT_FALSE(output.ok());
  EXPECT_FALSE(output.midi->status);
  EXPECT_TRUE(output.settings->status);
  EXPECT_FALSE(output.chart->status);
  ASSERT_EQ(output.told.size(), 2u);
  EXPECT_EQ(firstLine(output.told[0]), "The rendering MIDI file could not be written.");
  EXPECT_EQ(firstLine(output.told[1]), "The chart could not be written.");
}

TEST(OutputFlow, ATrackTooComplexToLayOutStopsTheOutputNamingIt) {
  // Two thousand notes, each held to the end: every sound overlaps every other.
  MidiBuilder builder;
  TrackBuilder& track = builder.track();
  track.name("Pad");
  for (int n = 0; n < 2000; ++n) track.noteOn(n * 10, 0, n % 128, 1 + n % 127);
  track.endOfTrack(30000);
  JobRun job;
  job.put("song.mid", builder.bytes());
  const Result<JobReport> report = job.run(request("song.mid"));
  ASSERT_TRUE(report);
  EXPECT_TRUE(report->output.refused);
  EXPECT_NE(report->output.told[0].in(Audience::EnglishConsole).find("track 1 \"Pad\""), std::string::npos);
  EXPECT_TRUE(written(job).empty());
}

TEST(OutputFlow, SavingTheSettingsReadsNothingAndWritesOnlyTheSettingsFile) {
  JobRun job;
  job.put("song.mid", readBytes(kExampleSong));
  JobRequest save = request("song.mid", {*parseRowEdit("0:noteInterval=480")});
  save.output = JobOutput::SettingsOnly;
  ASSERT_TRUE(job.run(save));
  EXPECT_EQ(written(job), std::vector<std::string>{"song.txt"});
  EXPECT_NE(job.read("song.txt").find("tr\tPiano\ttr01\t0\t480"), std::string::npos);
}

TEST(Job, ASecondRunLoadsTheSettingsSavedBesideTheSongOnlyWhenTheyNameIt) {
  JobRun job;
  job.put("song.mid", readBytes(kExampleSong));
  ASSERT_TRUE(job.run(request("song.mid", {*parseRowEdit("0:noteInterval=480")})));
  Result<JobReport> again = job.run(request("song.mid"));
  ASSERT_TRUE(again);
  EXPECT_EQ(again->savedSettings, "song.txt");
  EXPECT_EQ(job.app.rowSettings[0].noteInterval, 480);

  JobRequest fresh = request("song.mid");
  fresh.useSavedSettings = false;
  again = job.run(fresh);
  EXPECT_FALSE(again->savedSettings);
  EXPECT_EQ(job.app.rowSettings[0].noteInterval, 960);

  const std::string other = "i\tother.mid\n";
  job.put("song.txt", Bytes(other.begin(), other.end()));
  again = job.run(request("song.mid"));
  EXPECT_FALSE(again->savedSettings);
}

TEST(Job, AnEditForARowTheSongDoesNotHaveIsRefusedWithNothingWritten) {
  JobRun job;
  job.put("song.mid", readBytes(kExampleSong));
  const Result<JobReport> report = job.run(request("song.mid", {*parseRowEdit("3:noteInterval=480")}));
  ASSERT_FALSE(report);
  EXPECT_EQ(report.problem().message.in(Audience::EnglishConsole),
            "--set: there is no row 3 (the song has 3 track rows)");
  EXPECT_TRUE(written(job).empty());
}

}  // namespace
}  // namespace rendlow::test
