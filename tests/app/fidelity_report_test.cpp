// The chart's playback measured per track against the author's renders, and the warnings a cut
// gets when its references do not fit the song.

#include "app/fidelity_report.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "audio/io/audio_backend.h"
#include "audio/synthesized_stem.h"
#include "base/platform.h"
#include "job_fixture.h"

namespace rendlow::test {
namespace {

namespace fs = std::filesystem;

// A steady level at the stems' rate, so that nothing is told of the rate.
audio::AudioBuffer steady(double seconds, float level) {
  const auto rate = audio::test::kStemRate;
  return {rate, 1, std::vector<float>(static_cast<std::size_t>(rate * seconds), level)};
}

// The example song cut from stems as an instrument renders them, measured against a mix of 3 s and against
// renders of tr01 (whole), tr02 (silent) and no tr03.
TEST(CutFidelity, EachTrackRenderGivesItsRowAndWhatDoesNotFitTheSongIsWarnedOf) {
  JobRun job(kExampleSong);
  ASSERT_TRUE(job.run(request("song.mid")));
  fs::create_directories(job.dir.file("renders"));
  writeStems(job, {"tr01", "tr02", "tr03"});
  writeWav(job.dir.file("mix.wav"), steady(3, 0.5f));
  writeWav(job.dir.file("renders/tr01.wav"), steady(30, 0.5f));
  writeWav(job.dir.file("renders/tr02.wav"), steady(30, 0.0f));
  KeysoundRequest cut;
  cut.stemsFolder = job.dir.file("stems");
  cut.recording = job.dir.file("mix.wav");
  cut.trackRecordings = job.dir.file("renders");
  const Result<KeysoundReport> made =
      makeKeysounds(job.app.project.song, *job.converted, job.dir.file("song_out.bme"), cut);
  ASSERT_TRUE(made);
  ASSERT_TRUE(made->fidelity);
  ASSERT_EQ(made->trackFidelity.size(), 1u);
  EXPECT_EQ(made->trackFidelity[0].definitionName, "tr01");
  EXPECT_EQ(made->trackFidelity[0].trackName, "Piano");
  const std::string told = englishOf(made->measureNotices);
  const std::string silentRender = job.dir.file(std::string("renders") + pathSeparator() + "tr02.wav");
  for (const std::string& expected :
       std::vector<std::string>{"The reference is shorter than the song", "played, they clip",
                                "The recording to compare with is silent\nFile: " + silentRender,
                                "No render of track tr03 to compare with"})
    EXPECT_NE(told.find(expected), std::string::npos) << expected << " in\n" << told;
  const Message summary = keysoundSummary(*made);
  EXPECT_NE(summary.in(Audience::EnglishConsole).find("tr01 (Piano): log-spectral distance"),
            std::string::npos);
  // Without renders of the tracks a cut has the song's line and its warnings, and no table.
  cut.trackRecordings.reset();
  const Result<KeysoundReport> mixAlone =
      makeKeysounds(job.app.project.song, *job.converted, job.dir.file("song_out.bme"), cut);
  ASSERT_TRUE(mixAlone && mixAlone->fidelity);
  EXPECT_TRUE(mixAlone->trackFidelity.empty());
}

// The desktop program's summary names the three worst tracks, worst first, before the song.
TEST(CutFidelity, TheSummaryShowsTheThreeWorstTracksBeforeTheSong) {
  KeysoundReport report;
  report.fidelity = audio::FidelityFigures{1, 20, 20, 0, 20, -3, 0, 44100};
  for (const char* name : {"tr04", "tr02", "tr01", "tr03"}) report.trackFidelity.push_back({name, name, {}});
  for (audio::TrackFidelity& track : report.trackFidelity) track.figures.sampleRate = 44100;
  const std::string summary = keysoundSummary(report).in(Audience::EnglishConsole);
  const std::size_t worst = summary.find("tr04 (tr04)"), second = summary.find("tr02 (tr02)"),
                    third = summary.find("tr01 (tr01)"), song = summary.find("\nlog-spectral distance 1.00");
  EXPECT_LT(worst, second);
  EXPECT_LT(second, third);
  EXPECT_LT(third, song);
  EXPECT_NE(song, std::string::npos) << summary;
  EXPECT_EQ(summary.find("tr03"), std::string::npos) << summary;
}

}  // namespace
}  // namespace rendlow::test
