// What a job checks before it writes its first file, and what it says of the files it was asked
// for when the song gives it nothing to write.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>

#include "job_fixture.h"

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

// The example's tracks are tr01 (5 sounds), tr02 (9) and tr03 (4). A file is stale when it is
// named as a sound of these tracks would be and the chart, with the sounds written as .wav or
// .ogg, does not use it; other names are the author's business.
TEST(StaleSounds, FilesNamedAsTheChartsSoundsButUnusedAreStale) {
  const std::tuple<const char*, bool, bool> cases[] = {
      // the file, stale beside .wav, beside .ogg
      {"tr01_01.wav", false, true},   {"tr01_01.ogg", true, false}, {"tr01_06.wav", true, true},
      {"TR02_10.OGG", true, true},    {"tr03_04.wav", false, true}, {"tr04_01.wav", false, false},
      {"tr01_x.wav", false, false},   {"tr01_.wav", false, false},  {"tr01_01.mp3", false, false},
      {"other_01.wav", false, false},
  };
  JobRun run(kExampleSong);
  ASSERT_TRUE(run.run(request("song.mid")));
  for (const auto& [file, beside, besideOgg] : cases) run.put(file, "x");
  const std::vector<std::string> wav =
      staleSoundFiles(*run.converted, run.dir.path(), audio::AudioFileType::Wav);
  const std::vector<std::string> ogg =
      staleSoundFiles(*run.converted, run.dir.path(), audio::AudioFileType::OggVorbis);
  for (const auto& [file, besideWav, besideOgg] : cases) {
    const auto listed = [&](const std::vector<std::string>& stale) {
      return std::find(stale.begin(), stale.end(), run.dir.file(file)) != stale.end();
    };
    EXPECT_EQ(std::pair(listed(wav), listed(ogg)), std::pair(besideWav, besideOgg)) << file;
  }
}

}  // namespace
}  // namespace rendlow::test
