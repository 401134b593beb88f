// The whole job, as the command line and the desktop program run it: on whole songs compared byte
// for byte with golden files, every song convertible again from the settings file it wrote to the
// very same bytes; then what the output refuses before writing anything, what it tells after
// writing, and the files it stands by.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "app/output_flow.h"
#include "base/messages.h"
#include "job_fixture.h"
#include "support/case_table.h"

namespace rendlow::test {
namespace {

// A header text of the job, when its column gives one.
std::optional<std::string> headerText(const std::string& column) {
  return column.empty() ? std::nullopt : std::optional(unescaped(column));
}

// The job a line of the golden table asks for (its columns as the table's header names them).
JobRequest goldenJob(const std::vector<std::string>& columns) {
  JobRequest job = request(columns[2] + ".mid");
  std::istringstream edits(columns[3]);
  for (std::string edit; edits >> edit;) job.edits.push_back(parseRowEdit(edit).value());
  if (columns[4] == "bmson") job.chartFormat = ChartFormat::Bmson;
  job.title = headerText(columns[5]);
  job.artist = headerText(columns[6]);
  job.genre = headerText(columns[7]);
  return job;
}

TEST(GoldenJob, EachSongAsTheGoldenFilesHoldItAndAgainFromItsSettingsFile) {
  for (const CaseLine& c : readCaseTable("app/data/golden_jobs.txt")) {
    SCOPED_TRACE(c.where);
    const Bytes song = readBytes(std::string(RENDLOW_SOURCE_DIR) + "/" + c.columns[1]);
    const std::string& input = c.columns[2];
    const std::string outputs[] = {input + "_out.mid", input + ".txt", input + "_out." + c.columns[4]};
    JobRun job;
    job.put(input + ".mid", song);
    const Result<JobReport> report = job.run(goldenJob(c.columns));
    ASSERT_TRUE(report && report->output && report->output->told().empty());
    for (const std::string& name : outputs)
      expectGoldenFile(job.dir.file(name), kGoldenDir + "/" + c.columns[0] + "/" + name,
                       !name.ends_with(".mid"));
    exportJobForInterop(job, input);
    // Converted again from the settings file it wrote, the song gives the very same bytes.
    JobRun again;
    again.put(input + ".mid", song);
    again.put(input + ".txt", job.read(input + ".txt"));
    ASSERT_TRUE(again.run(request(input + ".txt")));
    for (const std::string& name : outputs) EXPECT_EQ(again.read(name), job.read(name)) << name;
  }
}

namespace fs = std::filesystem;

// The files in the job's folder besides the song, by name.
std::vector<std::string> written(const JobRun& job) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(job.dir.path()))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  std::erase(names, "song.mid");
  return names;
}

TEST(OutputFlow, RefusesBeforeWritingAnythingWhenFilesWouldMeetOrSoundsShareNames) {
  for (const CaseLine& c : readCaseTable("app/data/refused_jobs.txt")) {
    SCOPED_TRACE(c.where);
    JobRun run(kExampleSong);
    fs::create_hard_link(run.dir.file("song.mid"), run.dir.file("link.mid"));
    JobRequest job = request("song.mid");
    if (c.columns[0] != "-") job.outputPath = c.columns[0];
    if (c.columns[1] != "-") job.edits.push_back(parseRowEdit(c.columns[1]).value());
    const Result<JobReport> report = run.run(job);
    ASSERT_TRUE(report);
    ASSERT_FALSE(report->output);
    EXPECT_EQ(firstLine(report->output.problem().message), c.columns[2]);
    EXPECT_EQ(written(run), std::vector<std::string>{"link.mid"});
    EXPECT_EQ(readBytes(run.dir.file("song.mid")), kExampleSong);
  }
}

// A track left out is converted by no one: its name may be another's, and it stays out when the
// song is converted again from its settings.
TEST(Job, AnUncheckedRowMayShareItsNameAndStaysOutWhenConvertedAgain) {
  JobRun job(kExampleSong);
  const Result<JobReport> report = job.run(request("song.mid", {"1:definitionName=tr01", "1:enabled=0"}));
  ASSERT_TRUE(report && report->output && report->output->ok());
  EXPECT_EQ(job.converted->tracks.size(), 3u);  // the conductor and two rows
  EXPECT_NE(job.read("song.txt").find(withPlatformLineEnds("\ttr01\t0\t960\t0\t1\t0\t0\t0\t0\t2\t0\t0\n")),
            std::string::npos);
  ASSERT_TRUE(job.run(request("song.mid")));
  EXPECT_FALSE(job.app.rowSettings(1).enabled);
  EXPECT_EQ(job.converted->tracks.size(), 3u);
}

// Five tracks after the conductor, three of one name; the damaged file ends after the third.
TEST(Job, ADamagedSongKeepsTheSettingsOfTheTracksItLostUntilTheWholeSongReadsAgain) {
  const auto song = [](std::size_t tracks) {
    MidiBuilder builder;
    builder.track().name("Conductor").tempoBpm(0, 120).endOfTrack(0);
    const char* names[] = {"Piano", "Bass", "Bass", "Drums", "Bass"};
    for (std::size_t t = 0; t < tracks; ++t)
      builder.track().name(names[t]).noteOn(0, 0, 60, 90).noteOff(240, 0, 60).endOfTrack(480);
    return builder.trackCount(6).bytes();
  };
  JobRun job(song(5));
  ASSERT_TRUE(
      job.run(request("song.mid", {"2:noteInterval=100", "3:noteInterval=200", "4:noteInterval=300"})));
  const std::string saved = job.read("song.txt");

  job.put("song.mid", song(3));
  const Result<JobReport> damaged = job.run(request("song.mid"));
  ASSERT_TRUE(damaged && damaged->output);
  // The chart of the damaged song is another, and so is its digest.
  const auto setup = [](const std::string& settings) { return settings.substr(0, settings.find("h\t")); };
  EXPECT_EQ(setup(job.read("song.txt")), setup(saved));

  job.put("song.mid", song(5));
  ASSERT_TRUE(job.run(request("song.mid")));
  EXPECT_EQ(job.read("song.txt"), saved);
}

TEST(OutputFlow, AFileThatCannotBeWrittenIsToldAndTheOthersAreStillWritten) {
  JobRun job(kExampleSong);
  JobRequest toMissingFolder = request("song.mid");
  toMissingFolder.outputPath = "missing/folder/out.mid";
  const Result<JobReport> report = job.run(toMissingFolder);
  ASSERT_TRUE(report && report->output);
  const OutputResult& output = *report->output;
  EXPECT_FALSE(output.ok());
  EXPECT_EQ(std::tuple(output.midi->status.ok(), output.settings->status.ok(), output.chart->status.ok()),
            std::tuple(false, true, false));
  EXPECT_EQ(output.told().size(), 2u);  // what each says: the output messages
  // The settings file names the output asked for, as the author gave it.
  const std::string asked = std::filesystem::path("missing/folder/out.mid").make_preferred().string();
  EXPECT_TRUE(job.read("song.txt").starts_with(withPlatformLineEnds("i\tsong.mid\no\t" + asked + "\n")))
      << job.read("song.txt");
}

TEST(OutputFlow, ATrackTooComplexToLayOutStopsTheOutputNamingIt) {
  // Two thousand notes, each held to the end: every sound overlaps every other.
  JobRun job(appSong("held_pad.mid"));
  const Result<JobReport> report = job.run(request("song.mid"));
  ASSERT_TRUE(report && !report->output);
  EXPECT_NE(report->output.problem().message.in(Audience::EnglishConsole).find("track 1 \"Pad\""),
            std::string::npos);
  EXPECT_TRUE(written(job).empty());
}

TEST(OutputFlow, SavingTheSettingsReadsNothingAndWritesOnlyTheSettingsFile) {
  JobRun job(kExampleSong);
  JobRequest save = request("song.mid", {"0:noteInterval=480"});
  save.outputPath = "other.mid";
  save.output = OutputChoice::SettingsOnly;
  ASSERT_TRUE(job.run(save));
  EXPECT_EQ(written(job), std::vector<std::string>{"song.txt"});
  EXPECT_TRUE(job.read("song.txt")
                  .starts_with(withPlatformLineEnds("i\tsong.mid\no\tother.mid\ntr\tPiano\ttr01\t0\t480")));
}

TEST(Job, ASecondRunLoadsTheSettingsSavedBesideTheSongOnlyWhenTheyNameIt) {
  JobRun job(kExampleSong);
  ASSERT_TRUE(job.run(request("song.mid", {"0:noteInterval=480"})));
  Result<JobReport> again = job.run(request("song.mid"));
  EXPECT_EQ(again->savedSettings, "song.txt");
  EXPECT_EQ(job.app.rowSettings(0).noteInterval, 480);

  JobRequest fresh = request("song.mid");
  fresh.useSavedSettings = false;
  again = job.run(fresh);
  EXPECT_FALSE(again->savedSettings);
  EXPECT_EQ(job.app.rowSettings(0).noteInterval, 960);

  job.put("song.txt", "i\tother.mid\n");
  EXPECT_FALSE(job.run(request("song.mid"))->savedSettings);

  // One that cannot be read (a name that would lead out of the song's folder) stops the job by
  // its line, and stays as it was rather than being replaced by the defaults.
  const std::string hostile = "i\tsong.mid\ntr\tPiano\t../evil\n";
  job.put("song.txt", hostile);
  const Result<JobReport> refused = job.run(request("song.mid"));
  ASSERT_FALSE(refused);
  EXPECT_EQ(job.read("song.txt"), hostile);
  EXPECT_TRUE(job.run(fresh));
}

TEST(Job, AnEditForARowTheSongDoesNotHaveIsRefusedWithNothingWritten) {
  JobRun job(kExampleSong);
  const Result<JobReport> report = job.run(request("song.mid", {"3:noteInterval=480"}));
  ASSERT_FALSE(report);  // what it says: the command line's exit statuses
  EXPECT_TRUE(written(job).empty());
}

}  // namespace
}  // namespace rendlow::test
