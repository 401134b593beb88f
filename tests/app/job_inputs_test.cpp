// What a job checks before it writes its first file, and what it says of the files it was asked
// for when the song gives it nothing to write.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "job_fixture.h"

namespace rendlow::test {
namespace {

namespace fs = std::filesystem;

std::set<std::string> filesIn(const JobRun& run) {
  std::set<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(run.dir.path()))
    names.insert(entry.path().filename().string());
  return names;
}

JobRequest withKeysounds(KeysoundRequest keysounds) {
  JobRequest job = request("song.mid");
  job.keysounds = std::move(keysounds);
  return job;
}

KeysoundRequest soundsFrom(std::optional<std::string> stems, std::string soundFont = "",
                           std::optional<std::string> recording = std::nullopt,
                           std::optional<std::string> trackRecordings = std::nullopt) {
  KeysoundRequest sounds;
  sounds.stemsFolder = std::move(stems);
  sounds.soundFont = std::move(soundFont);
  sounds.recording = std::move(recording);
  sounds.trackRecordings = std::move(trackRecordings);
  return sounds;
}

// Each input of the sounds missing stops the job before the chart, its pair and the settings
// file are written: a chart without its sounds would be taken for a finished one.
TEST(JobInputs, AMissingInputOfTheSoundsStopsTheJobBeforeAnyFileIsWritten) {
  const std::pair<KeysoundRequest, const char*> cases[] = {
#ifdef _WIN32
      // The Windows build renders nothing yet, which it says before it looks for a SoundFont.
      {soundsFrom(std::nullopt, "/nope.sf2"), "This build cannot render sound files"},
#else
      {soundsFrom(std::nullopt, "/nope.sf2"), "The SoundFont does not exist"},
#endif
      {soundsFrom("absent"), "Could not read the folder of the per-track sound files"},
      {soundsFrom("stems", "", "absent.wav"), "Could not read a sound file"},
      {soundsFrom("stems", "", std::nullopt, "absent"),
       "Could not read the folder of the per-track sound files"},
  };
  for (const auto& [sounds, says] : cases) {
    SCOPED_TRACE(says);
    JobRun run(kExampleSong);
    fs::create_directory(run.dir.file("stems"));
    const Result<JobReport> report = run.run(withKeysounds(sounds));
    ASSERT_FALSE(report);
    EXPECT_EQ(firstLine(report.problem().message), says);
    EXPECT_EQ(filesIn(run), (std::set<std::string>{"song.mid", "stems"}));
  }
}

// A note interval past what a MIDI file holds between two events refuses the rendering file for
// that setting, by row, field and value, not for silences of the song the author cannot find.
TEST(JobInputs, ARenderingFileRefusedForANoteIntervalNamesTheSetting) {
  JobRun run(kExampleSong);
  const Result<JobReport> report = run.run(request("song.mid", {"0:noteInterval=2147483647"}));
  ASSERT_TRUE(report && report->output && report->output->midi);
  ASSERT_FALSE(report->output->midi->status);
  const std::string says = report->output->midi->status.problem().message.in(Audience::EnglishConsole);
  EXPECT_TRUE(
      says.starts_with("row 0 (track 2 \"Piano\"): its note interval (noteInterval) of 2147483647 ticks"))
      << says;
  EXPECT_EQ(says.find("silences"), std::string::npos);
}

// Switched off, every row leaves the files empty of the song: written, with a warning to read.
TEST(JobInputs, EveryTrackSwitchedOffIsAWarning) {
  const std::pair<JobRequest, std::size_t> cases[] = {
      {request("song.mid", {"0:enabled=0", "1:enabled=0", "2:enabled=0"}), 1},
      {request("song.mid", {"0:enabled=0", "1:enabled=0"}), 0},
  };
  for (const auto& [job, warnings] : cases) {
    JobRun run(kExampleSong);
    const Result<JobReport> report = run.run(job);
    ASSERT_TRUE(report && report->output && report->output->ok());
    ASSERT_EQ(report->output->warnings.size(), warnings);
    if (warnings) {
      EXPECT_EQ(firstLine(report->output->warnings[0].message), "Every track is switched off.");
    }
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
    const Result<JobReport> report = run.run(job);
    ASSERT_TRUE(report && report->output);
    EXPECT_NE(run.read("song.txt").find(withPlatformLineEnds("\no\tmine.mid\n")), std::string::npos)
        << run.read("song.txt");
  }
}

// The example's tracks are tr01 (5 sounds), tr02 (9) and tr03 (4). A file is stale when it is
// named as a sound of these tracks would be and the chart, with the sounds written as .wav or
// .ogg, does not use it; other names are the author's business.
TEST(StaleSounds, FilesNamedAsTheChartsSoundsButUnusedAreStale) {
  const struct {
    const char* file;
    bool staleBesideWav;
    bool staleBesideOgg;
  } cases[] = {
      {"tr01_01.wav", false, true},   {"tr01_01.ogg", true, false}, {"tr01_06.wav", true, true},
      {"TR02_10.OGG", true, true},    {"tr03_04.wav", false, true}, {"tr04_01.wav", false, false},
      {"tr01_x.wav", false, false},   {"tr01_.wav", false, false},  {"tr01_01.mp3", false, false},
      {"other_01.wav", false, false},
  };
  JobRun run(kExampleSong);
  ASSERT_TRUE(run.run(request("song.mid")));
  for (const auto& c : cases) run.put(c.file, "x");
  for (const audio::AudioFileType type : {audio::AudioFileType::Wav, audio::AudioFileType::OggVorbis}) {
    const std::vector<std::string> stale = staleSoundFiles(*run.converted, run.dir.path(), type);
    for (const auto& c : cases) {
      const bool expected = type == audio::AudioFileType::Wav ? c.staleBesideWav : c.staleBesideOgg;
      const bool listed = std::find(stale.begin(), stale.end(), run.dir.file(c.file)) != stale.end();
      EXPECT_EQ(listed, expected) << c.file << " " << static_cast<int>(type);
    }
  }
}

}  // namespace
}  // namespace rendlow::test
