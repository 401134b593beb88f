// How faithfully a chart plays a song: the mix of its background's sound files, then the measure
// of a playback against the song (spectra, waveforms, their lag).

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>
#include <sstream>

#include "audio/fidelity/chart_mix.h"
#include "audio/fidelity/lag_correlation.h"
#include "audio/fidelity/fidelity.h"
#include "audio/fidelity/sound_cache.h"
#include "audio/io/audio_backend.h"
#include "audio_test.h"
#include "support/case_table.h"

namespace rendlow::audio {
namespace {

using test::constant;
using test::delayed;

// The chart plays a.wav, b.wav and a.wav a second apart, then an id without a sound file; the
// sounds are written for each test.
class ChartMixing : public testing::Test {
protected:
  void SetUp() override { writeSound("a.wav", constant(1000, 2500, {0.25f, -0.25f})); }

  void writeSound(const std::string& name, const AudioBuffer& sound) {
    ASSERT_TRUE(builtinBackend().write(dir_.file(name), sound, AudioFileType::Wav));
  }

  // The whole background, read from its stream `block` frames at a time.
  Result<AudioBuffer> mix(const AudioBackend& backend = builtinBackend(), int64_t block = 1 << 20) {
    Result<std::unique_ptr<audio::ChartMix>> chart = audio::ChartMix::open(background_, chart_, dir_.path(), 1000, 2, backend);
    if (!chart) return chart.problem();
    const std::unique_ptr<SoundStream> stream = (*chart)->stream();
    AudioBuffer whole{1000, 2, {}};
    for (AudioBuffer b = stream->next(block); b.frames() > 0; b = stream->next(block))
      whole.samples.insert(whole.samples.end(), b.samples.begin(), b.samples.end());
    return whole;
  }

  const ChartBackground background_{{{1, "a.wav"}, {2, "b.wav"}, {3, "unused.wav"}},
                                    {{0, 1}, {1, 2}, {2, 1}, {4, 4}}};
  const std::string chart_ = "a_b_a.bme";
  rendlow::test::TempDir dir_;
};

// a.wav lasts 2.5 s but is cut off at 2 s by its next object; mono b.wav goes to both channels.
// Read in blocks that start and end inside sounds, the mix is the same. Played against that mix,
// the chart is faithful.
TEST_F(ChartMixing, PlaysEveryObjectUntilItsIdComesAgain) {
  writeSound("b.wav", constant(1000, 500, {0.5f}));
  AudioBuffer expected = constant(1000, 4500, {0.25f, -0.25f});
  for (std::size_t i = 2 * 1000; i < 2 * 1500; ++i) expected.samples[i] += 0.5f;
  Result<AudioBuffer> mixed = mix();
  ASSERT_TRUE(mixed) << test::english(mixed.problem().message);
  EXPECT_EQ(mixed->samples, expected.samples);
  for (int64_t block : {1, 3, 64, 999})
    EXPECT_EQ(mix(builtinBackend(), block)->samples, expected.samples) << block;
  Result<FidelityFigures> figures =
      measureChartFidelity(background_, chart_, dir_.path(), expected, builtinBackend(), 0);
  ASSERT_TRUE(figures);
  EXPECT_EQ(figures->lagFrames, 0);
  EXPECT_EQ(figures->waveformSnrDb, std::numeric_limits<double>::infinity());
}

TEST_F(ChartMixing, ASoundSavedAsOggIsFoundForItsWavName) {
  if (!defaultBackend().writes(AudioFileType::OggVorbis)) GTEST_SKIP() << "no Ogg Vorbis in this build";
  ASSERT_TRUE(
      defaultBackend().write(dir_.file("b.ogg"), constant(1000, 500, {0.5f}), AudioFileType::OggVorbis));
  Result<AudioBuffer> mixed = mix(defaultBackend());
  ASSERT_TRUE(mixed) << test::english(mixed.problem().message);
  EXPECT_NEAR(mixed->at(1200, 0), 0.75f, 0.05f);
}

TEST(SoundCache, ReadsASoundAgainOnlyWhenNeitherHeldNorKept) {
  const AudioBuffer shape{1000, 2, {}};
  for (const rendlow::test::CaseLine& c : rendlow::test::readCaseTable("audio/data/sound_cache.txt")) {
    SCOPED_TRACE(c.where + " " + c.columns.at(0));
    ASSERT_EQ(c.columns.size(), 5u);
    const bool held = c.columns[2] == "1", readAgain = c.columns[4] == "1";
    rendlow::test::TempDir dir;
    auto path = [&](char id) { return dir.file(std::string(1, id) + ".wav"); };
    for (const char id : std::string("123"))
      ASSERT_TRUE(builtinBackend().write(path(id), constant(1000, 100, {0.5f, 0.5f}), AudioFileType::Wav));
    SoundCache cache(builtinBackend(), std::stoul(c.columns[1]));
    std::shared_ptr<const AudioBuffer> first = cache.get(1, path('1'), shape, 100).value();
    for (const char id : c.columns[3]) ASSERT_TRUE(cache.get(id - '0', path(id), shape, 100));
    if (!held) first.reset();
    ASSERT_TRUE(builtinBackend().write(path('1'), constant(1000, 200, {0.5f, 0.5f}), AudioFileType::Wav));
    const Result<std::shared_ptr<const AudioBuffer>> again = cache.get(1, path('1'), shape, 100);
    ASSERT_EQ(again.ok(), !readAgain);
    if (again) {
      EXPECT_EQ((*again)->at(50, 0), 0.5f);
    }
    // Lost once, it is not read again.
    ASSERT_TRUE(builtinBackend().write(path('1'), constant(1000, 100, {0.5f, 0.5f}), AudioFileType::Wav));
    EXPECT_EQ(cache.get(1, path('1'), shape, 100).ok(), !readAgain);
  }
}

// A sound missing, or at another rate or channel count, is refused as the mix opens. A sound is
// read again as it starts to play: one that changed or went since the mix was opened plays as
// silence, and the stream says why once it is finished, so that no figure is taken from it.
TEST_F(ChartMixing, TellsEachSoundItCannotMixSayingWhy) {
  struct Case {
    bool afterOpening;
    AudioBuffer sound;  // none: b.wav removed
    const char* reason;
  };
  const std::vector<Case> cases{
      {false, {}, "A sound file of the chart is missing\nFile: "},
      {false, constant(2000, 10, {0.5f}), "It is 2000 Hz; the reference is 1000 Hz."},
      {false, constant(1000, 10, {0.5f, 0.5f, 0.5f}), "It has 3 channels; the reference has 2."},
      {true, {}, "Could not read a sound file\nFile: "},
      {true, constant(1000, 700, {0.5f}), "A sound file changed while it was measured\nFile: "},
  };
  for (const auto& [afterOpening, sound, reason] : cases) {
    SCOPED_TRACE(reason);
    writeSound("b.wav", constant(1000, 500, {0.5f}));
    const auto change = [&] {
      std::remove(dir_.file("b.wav").c_str());
      if (!sound.samples.empty()) writeSound("b.wav", sound);
    };
    if (!afterOpening) change();
    Result<std::unique_ptr<ChartMix>> chart = ChartMix::open(background_, chart_, dir_.path(), 1000, 2, builtinBackend());
    ASSERT_EQ(chart.ok(), afterOpening);
    Result<void> told = chart ? Result<void>() : Result<void>(chart.problem());
    if (chart) {
      change();
      const std::unique_ptr<SoundStream> stream = (*chart)->stream();
      stream->next(1000);  // up to where b.wav starts
      EXPECT_TRUE(stream->finish());
      EXPECT_EQ(stream->next(1 << 20).at(200, 0), 0.25f);
      told = stream->finish();
    }
    ASSERT_FALSE(told);
    EXPECT_TRUE(test::says(told.problem().message, reason));
    EXPECT_TRUE(test::says(told.problem().message, dir_.file("b.wav")));
  }
}

const double kInfinity = std::numeric_limits<double>::infinity();

// One second of stereo: 2000 frames of silence, then noise under a slow swell, softer on the right.
AudioBuffer song() {
  AudioBuffer buffer{44100, 2, test::noise(2 * 44100, 3)};
  for (int64_t i = 0; i < 2 * 44100; ++i) {
    const double swell =
        i < 2 * 2000 ? 0 : 0.2 + 0.8 * std::sin(std::numbers::pi * static_cast<double>(i / 2) / 44100);
    buffer.samples[i] *= static_cast<float>(i % 2 ? swell / 2 : swell);
  }
  return buffer;
}

AudioBuffer scaled(AudioBuffer buffer, float gain) {
  for (float& sample : buffer.samples) sample *= gain;
  return buffer;
}

// A signal 20000 samples long crosses several blocks of the correlation at this range.
TEST(CrossCorrelation, FindsTheLagOfADelayedCopy) {
  const std::vector<float> reference = test::noise(20000, 1);
  for (int64_t lag : {0, 37, -250, 1000, -1000})
    EXPECT_EQ(bestLag(reference, delayed({44100, 1, reference}, lag).samples, 1000), lag);
}

// Beats of one noise burst every `period` frames after `leadIn` frames of silence, the k-th (from 0)
// at k + 1 times the burst's level: a track that swells.
std::vector<float> swellingBeats(int64_t leadIn, int64_t period, int beats) {
  const std::vector<float> burst = test::noise(200, 7);
  std::vector<float> track(static_cast<std::size_t>(leadIn + period * beats), 0.0f);
  for (int k = 0; k < beats; ++k) {
    for (std::size_t i = 0; i < burst.size(); ++i)
      track[static_cast<std::size_t>(leadIn + period * k) + i] = burst[i] * static_cast<float>(k + 1);
  }
  return track;
}

// The playback of a swelling track has one beat more than its reference: lined up a period late,
// every beat meets a louder one and the correlation there is higher than in line (by 0.5 dB).
// The lag in line, 0, explains the track as well and is the one found; a playback truly late by
// less than a period is still found late.
TEST(CrossCorrelation, DoesNotLockOntoABeat) {
  const std::vector<float> reference = swellingBeats(1500, 700, 12);
  const std::vector<float> playback = swellingBeats(1500, 700, 13);
  EXPECT_EQ(bestLag(reference, playback, 1000), 0);
  EXPECT_EQ(bestLag(reference, delayed({44100, 1, playback}, 150).samples, 1000), 150);
  EXPECT_EQ(bestLag(reference, delayed({44100, 1, playback}, -90).samples, 1000), -90);
}

// The playback a case of data/known_differences.txt makes of `reference`, as its header says.
AudioBuffer playbackOf(const AudioBuffer& reference, const std::string& making) {
  std::istringstream words(making);
  std::string how;
  double a = 0, b = 0, c = 0;
  words >> how >> a >> b >> c;
  if (how == "scaled") return scaled(reference, static_cast<float>(a));
  if (how == "delayed") return delayed(reference, static_cast<int64_t>(a));
  AudioBuffer playback = reference;
  if (how == "silenced") std::fill(playback.samples.begin() + std::lround(a), playback.samples.begin() + std::lround(b), 0.0f);
  if (how == "shortened") playback.samples.resize(playback.samples.size() - 2 * static_cast<std::size_t>(a));
  if (how == "set") playback.at(std::lround(a), static_cast<int32_t>(b)) = static_cast<float>(c);
  return playback;
}

TEST(Fidelity, MeasuresKnownDifferencesFromTheReference) {
  const AudioBuffer reference = song();
  for (const rendlow::test::CaseLine& c : rendlow::test::readCaseTable("audio/data/known_differences.txt")) {
    SCOPED_TRACE(c.where);
    ASSERT_EQ(c.columns.size(), 9u);
    const FidelityFigures f = comparePlayback(playbackOf(reference, c.columns[1]), reference);
    const double measured[] = {f.logSpectralDistanceDb, f.spectralSnrDb,    f.waveformSnrDb,
                               f.worstStretchSeconds,   f.worstStretchSnrDb, f.mixPeakDbfs,
                               static_cast<double>(f.lagFrames)};
    for (std::size_t i = 0; i < std::size(measured); ++i) {
      if (c.columns[i + 2] == "-") continue;
      const double expected = std::stod(c.columns[i + 2]);
      EXPECT_TRUE(expected == kInfinity ? measured[i] > 200 : measured[i] == expected || std::fabs(measured[i] - expected) < 1e-6)
          << c.columns[0] << ", figure " << i + 1 << ": " << measured[i];
    }
    EXPECT_EQ(f.sampleRate, 44100);
  }
  // Sound where the song is silent is the worst stretch of all, however little the song has there.
  AudioBuffer quietStart = reference;
  std::fill_n(quietStart.samples.begin(), 2 * 4410, 0.0f);
  const FidelityFigures noisy = comparePlayback(reference, quietStart);
  EXPECT_EQ(std::pair(noisy.worstStretchSeconds, noisy.worstStretchSnrDb), std::pair(0.0, -kInfinity));
}

}  // namespace
}  // namespace rendlow::audio
