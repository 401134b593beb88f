// From a converted song to the sound files its chart names: where each sound starts in the
// rendering MIDI file, cutting the author's stems, rendering with the synthesizer, and how
// faithfully the chart then plays the song.

#include "app/keysounds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <set>
#include <sstream>
#include <tuple>

#include "audio/io/audio_backend.h"
#include "audio/synthesized_stem.h"
#include "job_fixture.h"

namespace rendlow::test {
namespace {

namespace fs = std::filesystem;

// The General MIDI SoundFont authors get by default; the small one renders other instruments.
const std::string kSoundFont = "/usr/share/sounds/sf2/FluidR3_GM.sf2";

// The files the chart's #WAV lines ("#WAVxx NAME") name.
std::set<std::string> wavNames(const std::string& chart) {
  std::set<std::string> names;
  std::istringstream lines(chart);
  for (std::string line; std::getline(lines, line);)
    if (line.starts_with("#WAV")) names.insert(line.substr(7, line.find_last_not_of('\r') - 6));
  return names;
}

// One track "Solo" of 24 notes, each its own sound, none overlapping, all on the chart's grid, so
// the chart can place every one exactly: of 24 pitches at one velocity, or of three pitches at
// velocities 40 to 127.
const Bytes kSoloPitches = appSong("solo_pitches.mid");
const Bytes kSoloVelocities = appSong("solo_velocities.mid");

TEST(SoundStarts, EverySoundOfTheChartStartsOnceInItsTrackInOrder) {
  JobRun job(kExampleSong);
  ASSERT_TRUE(job.run(request("song.mid", {"0:gridUnit=1920", "1:splitMethod=2"})));
  ASSERT_FALSE(renderingFileTracks(*job.converted).empty());
  std::set<std::string> named;
  for (const audio::RenderingFileTrack& track : renderingFileTracks(*job.converted)) {
    for (std::size_t s = 0; s < track.sounds.size(); ++s) {
      const audio::RenderingFileSound& sound = track.sounds[s];
      EXPECT_TRUE(named.insert(sound.fileName).second) << sound.fileName;
      EXPECT_LT(sound.startTick, sound.endTick);
      if (s + 1 < track.sounds.size()) {
        EXPECT_EQ(sound.endTick, track.sounds[s + 1].startTick);
      }
    }
  }
  EXPECT_EQ(named, wavNames(job.read("song_out.bme")));
}

// The reference plays the song's own events at their own ticks, whatever order the chord slicing
// puts a chord's note-offs in.
TEST(SongAsRead, AChordsNoteOffsEndWhereTheSongEndsThem) {
  MidiBuilder song;
  song.track().name("Conductor").tempoBpm(0, 120.0).endOfTrack(1920);
  auto& chord = song.track().name("Chord");
  for (const int key : {60, 64, 67}) chord.noteOn(0, 0, key, 100);
  for (const int key : {67, 64, 60}) chord.noteOff(480, 0, key);
  chord.endOfTrack(1440);
  JobRun job(song.bytes());
  ASSERT_TRUE(job.run(request("song.mid", {"0:splitMethod=1"})));
  const SongAsRead asRead = songAsRead(job.app.project.song, *job.converted);
  ASSERT_EQ(asRead.tracks.back().index, 1u);
  std::vector<int64_t> noteOffTicks;
  for (const audio::ChannelMessage& message : asRead.tracks.back().events)
    if ((message.status & 0xF0) == 0x80) noteOffTicks.push_back(message.tick);
  EXPECT_EQ(noteOffTicks, std::vector<int64_t>(3, 480));
}

// Right stems are cut into every file the chart names without a word (what a stem that does not
// fit is told lives with the cutting). A recording that cannot be measured against leaves the sound
// files standing and says why; one among the stems is no extra stem, unless another recording is
// measured against.
TEST(Keysounds, StemsAreCutIntoEveryFileTheChartNamesAndAnUnmeasuredRecordingIsTold) {
  JobRun job(kExampleSong);
  ASSERT_TRUE(job.run(request("song.mid")));
  writeStems(job, {"tr01", "tr02", "tr03"});
  KeysoundRequest cut;
  cut.stemsFolder = job.dir.file("stems");
  const Result<KeysoundReport> made =
      makeKeysounds(job.app.project.song, *job.converted, job.dir.file("song_out.bme"), cut);
  ASSERT_TRUE(made);
  EXPECT_TRUE(made->files.notices.empty()) << englishOf(made->files.notices);
  EXPECT_EQ(made->files.filesWritten, 18);
  for (const std::string& name : wavNames(job.read("song_out.bme")))
    EXPECT_TRUE(fs::exists(job.dir.file(name))) << name;
  EXPECT_FALSE(made->fidelity);
  EXPECT_TRUE(made->measureNotices.empty());

  const audio::AudioBuffer silence{44100, 2, std::vector<float>(2 * 44100, 0.0f)};
  const audio::AudioBuffer otherRate{48000, 2, std::vector<float>(2 * 48000, 0.25f)};
  writeWav(job.dir.file("stems/silent.wav"), silence);
  writeWav(job.dir.file("48k.wav"), otherRate);
  const std::tuple<const char*, const char*, std::size_t> recordings[] = {
      {"stems/silent.wav", "is silent", 0},
      {"48k.wav", "sample rate", 1},
      {"absent.wav", "does not exist", 1}};
  for (const auto& [recording, why, notices] : recordings) {
    cut.recording = job.dir.file(recording);
    const Result<KeysoundReport> unmeasured =
        makeKeysounds(job.app.project.song, *job.converted, job.dir.file("song_out.bme"), cut);
    ASSERT_TRUE(unmeasured) << recording;
    EXPECT_EQ(unmeasured->files.filesWritten, 18) << recording;
    EXPECT_EQ(unmeasured->files.notices.size(), notices) << recording;
    EXPECT_FALSE(unmeasured->fidelity) << recording;
    ASSERT_EQ(unmeasured->measureNotices.size(), 1u) << recording;
    EXPECT_NE(unmeasured->measureNotices[0].message.in(Audience::EnglishConsole).find(why), std::string::npos)
        << recording;
  }
  // The chart is read back to be measured; one that cannot be read is told by name.
  cut.recording = job.dir.file("stems/tr01.wav");
  const std::string absent = job.dir.file("absent.bme");
  const Result<KeysoundReport> unread = makeKeysounds(job.app.project.song, *job.converted, absent, cut);
  ASSERT_TRUE(unread && unread->measureNotices.size() == 1);
  const std::string why = unread->measureNotices[0].message.in(Audience::EnglishConsole);
  EXPECT_NE(why.find("Could not read the chart\nFile: " + absent), std::string::npos) << why;
}

class Rendered : public ::testing::Test {
protected:
  void SetUp() override {
    if (!audio::fluidSynthInBuild()) GTEST_SKIP() << "FluidSynth is not in this build";
    if (!fs::exists(kSoundFont)) GTEST_SKIP() << kSoundFont << " is not installed (fluid-soundfont-gm)";
  }

  // The figures of the chart of `song`, converted with `edits`, rendered with the synthesizer.
  audio::FidelityFigures render(JobRun& job, const Bytes& song, std::initializer_list<const char*> edits = {},
                                ChartFormat format = ChartFormat::Bme) {
    job.put("song.mid", song);
    JobRequest asked = request("song.mid", edits);
    asked.chartFormat = format;
    EXPECT_TRUE(job.run(asked));
    KeysoundRequest synthesize;
    synthesize.soundFont = kSoundFont;
    const std::string chart = format == ChartFormat::Bmson ? "song_out.bmson" : "song_out.bme";
    const Result<KeysoundReport> made =
        makeKeysounds(job.app.project.song, *job.converted, job.dir.file(chart), synthesize);
    EXPECT_TRUE(made && made->fidelity);
    return made && made->fidelity ? *made->fidelity : audio::FidelityFigures{};
  }
};

TEST_F(Rendered, AChartOfOneSoundPerNotePlaysItsSongBackAlmostExactly) {
  JobRun job;
  const audio::FidelityFigures figures = render(job, kSoloPitches);
  EXPECT_GE(figures.waveformSnrDb, 30.0);
  EXPECT_EQ(figures.lagFrames, 0);
  // Every file begins with its sound: a sample above the quietest a 16-bit file holds within
  // the first millisecond.
  for (const std::string& name : wavNames(job.read("song_out.bme"))) {
    const Result<audio::AudioBuffer> sound = audio::builtinBackend().read(job.dir.file(name));
    ASSERT_TRUE(sound) << name;
    const auto loud = std::find_if(sound->samples.begin(), sound->samples.end(),
                                   [](float s) { return std::fabs(s) >= 1.0f / 32768; });
    EXPECT_LT((loud - sound->samples.begin()) / sound->channels, 44) << name;
  }
  exportKeysoundsForInterop(job.dir.file("song_out.bme"));
  exportJobForInterop(job, "song");
}

// A bmson chart makes the same sound files and plays back as the ".bme" does, figure for figure.
TEST_F(Rendered, ABmsonChartMakesTheSameSoundsAndFiguresAsTheBme) {
  JobRun bme, bmson;
  const audio::FidelityFigures asBme = render(bme, kSoloVelocities);
  const audio::FidelityFigures asBmson = render(bmson, kSoloVelocities, {}, ChartFormat::Bmson);
  for (const std::string& name : wavNames(bme.read("song_out.bme")))
    EXPECT_EQ(bmson.read(name), bme.read(name)) << name;
  EXPECT_EQ(std::tuple(asBmson.logSpectralDistanceDb, asBmson.waveformSnrDb, asBmson.lagFrames),
            std::tuple(asBme.logSpectralDistanceDb, asBme.waveformSnrDb, asBme.lagFrames));
  exportKeysoundsForInterop(bmson.dir.file("song_out.bmson"));
}

TEST_F(Rendered, FinerVelocityBucketsPlayTheSongBackCloser) {
  JobRun coarse;
  JobRun fine;
  const audio::FidelityFigures one = render(coarse, kSoloVelocities);
  const audio::FidelityFigures many = render(fine, kSoloVelocities, {"0:velocitySplitWidth=16"});
  EXPECT_GT(many.waveformSnrDb, one.waveformSnrDb + 6.0);
  EXPECT_LT(many.logSpectralDistanceDb, one.logSpectralDistanceDb);
}

}  // namespace
}  // namespace rendlow::test
