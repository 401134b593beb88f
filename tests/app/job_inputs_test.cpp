// What a job checks before it writes its first file, and what it says of the files it was asked
// for when the song gives it nothing to write.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>

#include "job_fixture.h"
#include "support/case_table.h"

namespace rendlow::test {
namespace {

namespace fs = std::filesystem;

// Each input of the sounds missing stops the job before the chart, its pair and the settings
// file are written: a chart without its sounds would be taken for a finished one.
TEST(JobInputs, AMissingInputOfTheSoundsStopsTheJobBeforeAnyFileIsWritten) {
  const std::array<const char*, 5> cases[] = {
      // stems, SoundFont, recording, track recordings, what is said
      {nullptr, "/nope.sf2", nullptr, nullptr, "The SoundFont does not exist"},
      {"absent", "", nullptr, nullptr, "Could not read the folder of the per-track sound files"},
      {"stems", "", "absent.wav", nullptr, "Could not read a sound file"},
      {"stems", "", nullptr, "absent", "Could not read the folder of the per-track sound files"},
  };
  for (const auto& [stems, soundFont, recording, trackRecordings, says] : cases) {
    SCOPED_TRACE(says);
    JobRun run(kExampleSong);
    fs::create_directory(run.dir.file("stems"));
    JobRequest job = request("song.mid");
    KeysoundRequest& sounds = job.keysounds.emplace();
    if (stems) sounds.stemsFolder = stems;
    sounds.soundFont = soundFont;
    if (recording) sounds.recording = recording;
    if (trackRecordings) sounds.trackRecordings = trackRecordings;
    const Result<JobReport> report = run.run(job);
    ASSERT_FALSE(report);
    EXPECT_EQ(firstLine(report.problem().message), says);
    EXPECT_EQ(std::distance(fs::directory_iterator(run.dir.path()), {}), 2);  // the song and the stems
  }
}

// A note interval past what a MIDI file holds between two events refuses the rendering file for
// that setting, by row, field and value, not for silences of the song the author cannot find.
TEST(JobInputs, ARenderingFileRefusedForANoteIntervalNamesTheSetting) {
  JobRun run(kExampleSong);
  const Result<JobReport> report = run.run(request("song.mid", {"0:noteInterval=2147483647"}));
  ASSERT_TRUE(report && report->output && report->output->midi && !report->output->midi->status);
  const std::string says = report->output->midi->status.problem().message.in(Audience::EnglishConsole);
  EXPECT_TRUE(
      says.starts_with("row 0 (track 2 \"Piano\"): its note interval (noteInterval) of 2147483647 ticks"))
      << says;
  EXPECT_EQ(says.find("silences"), std::string::npos);
}

// Switched off, every row leaves the files empty of the song: written, with a warning to read.
TEST(JobInputs, EveryTrackSwitchedOffIsAWarning) {
  const std::pair<JobRequest, const char*> cases[] = {
      {request("song.mid", {"0:enabled=0", "1:enabled=0", "2:enabled=0"}), "Every track is switched off."},
      {request("song.mid", {"0:enabled=0", "1:enabled=0"}), ""},
  };
  for (const auto& [job, warned] : cases) {
    JobRun run(kExampleSong);
    const Result<JobReport> report = run.run(job);
    ASSERT_TRUE(report && report->output && report->output->ok());
    std::string warnings;
    for (const Notice& warning : report->output->warnings) warnings += firstLine(warning.message);
    EXPECT_EQ(warnings, warned);
  }
}

// The output name a run was asked for is the settings file's, whether its pair was written, held
// back with a refused chart, or refused for a setting: the next run writes where this one meant to.
TEST(JobInputs, TheSettingsFileKeepsTheOutputNameAskedForWhenTheFilesAreRefused) {
  const std::pair<Bytes, const char*> cases[] = {
      {kExampleSong, "0:noteInterval=960"},
      {appSong("past_its_ids.mid"), "0:noteInterval=960"},
      {kExampleSong, "0:noteInterval=2147483647"},
  };
  for (const auto& [song, edit] : cases) {
    JobRun run(song);
    JobRequest job = request("song.mid", {edit});
    job.outputPath = "mine.mid";
    ASSERT_TRUE(run.run(job));
    EXPECT_NE(run.read("song.txt").find(withPlatformLineEnds("\no\tmine.mid\n")), std::string::npos)
        << run.read("song.txt");
  }
}

// A file is stale when it is named as a sound of the chart's tracks would be and the chart, with
// the sounds written as .wav or .ogg, does not use it; other names are the author's business.
TEST(StaleSounds, FilesNamedAsTheChartsSoundsButUnusedAreStale) {
  const std::vector<CaseLine> cases = readCaseTable("app/data/stale_sounds.txt");
  JobRun run(kExampleSong);
  ASSERT_TRUE(run.run(request("song.mid")));
  for (const CaseLine& c : cases) run.put(c.columns[0], "x");
  const auto listed = [&](const std::string& file, audio::AudioFileType type) {
    const std::vector<std::string> stale = staleSoundFiles(*run.converted, run.dir.path(), type);
    return std::string(std::find(stale.begin(), stale.end(), run.dir.file(file)) != stale.end() ? "yes"
                                                                                                : "no");
  };
  for (const CaseLine& c : cases) {
    EXPECT_EQ(std::pair(listed(c.columns[0], audio::AudioFileType::Wav),
                        listed(c.columns[0], audio::AudioFileType::OggVorbis)),
              std::pair(c.columns[1], c.columns[2]))
        << c.where;
  }
}

}  // namespace
}  // namespace rendlow::test
