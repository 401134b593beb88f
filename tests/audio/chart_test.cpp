// How faithfully a chart plays a song: the mix of its background's sound files, then the measure
// of a playback against the song (spectra, waveforms, their lag).

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdio>
#include <limits>
#include <numbers>
#include <random>
#include <tuple>

#include "audio/fidelity/chart_mix.h"
#include "audio/fidelity/comparison.h"
#include "audio/fidelity/fft.h"
#include "audio/fidelity/fidelity.h"
#include "audio/io/audio_backend.h"
#include "audio_test.h"

namespace rendlow::audio {
namespace {

AudioBuffer constant(int32_t rate, int64_t frames, std::vector<float> one) {
  AudioBuffer buffer{rate, static_cast<int32_t>(one.size()), {}};
  for (int64_t i = 0; i < frames; ++i) buffer.samples.insert(buffer.samples.end(), one.begin(), one.end());
  return buffer;
}

// The chart plays a.wav, b.wav and a.wav a second apart, then an id without a sound file; the
// sounds are written for each test.
class ChartMixing : public testing::Test {
protected:
  void SetUp() override { writeSound("a.wav", constant(1000, 2500, {0.25f, -0.25f})); }

  void writeSound(const std::string& name, const AudioBuffer& sound) {
    ASSERT_TRUE(builtinBackend().write(dir_.file(name), sound, AudioFileType::Wav));
  }

  // The whole background, read from its stream in one go.
  Result<AudioBuffer> mix(const AudioBackend& backend = builtinBackend()) {
    Result<std::unique_ptr<audio::ChartMix>> chart = audio::ChartMix::open(background_, chart_, dir_.path(), 1000, 2, backend);
    if (!chart) return chart.problem();
    return (*chart)->stream()->next(1 << 20);
  }

  const ChartBackground background_{{{1, "a.wav"}, {2, "b.wav"}, {3, "unused.wav"}},
                                    {{0, 1}, {1, 2}, {2, 1}, {4, 4}}};
  const std::string chart_ = "a_b_a.bme";
  rendlow::test::TempDir dir_;
};

// a.wav lasts 2.5 s but is cut off at 2 s by its next object; mono b.wav goes to both channels.
// Played against that mix, the chart is faithful.
TEST_F(ChartMixing, PlaysEveryObjectUntilItsIdComesAgain) {
  writeSound("b.wav", constant(1000, 500, {0.5f}));
  AudioBuffer expected = constant(1000, 4500, {0.25f, -0.25f});
  for (std::size_t i = 2 * 1000; i < 2 * 1500; ++i) expected.samples[i] += 0.5f;
  Result<AudioBuffer> mixed = mix();
  ASSERT_TRUE(mixed) << test::english(mixed.problem().message);
  EXPECT_EQ(mixed->samples, expected.samples);
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

TEST_F(ChartMixing, RefusesSoundsItCannotMixSayingWhich) {
  const std::vector<std::pair<AudioBuffer, const char*>> cases{
      {{}, "A sound file of the chart is missing\nFile: "},
      {constant(2000, 10, {0.5f}), "It is 2000 Hz; the reference is 1000 Hz."},
      {constant(1000, 10, {0.5f, 0.5f, 0.5f}), "It has 3 channels; the reference has 2."},
  };
  for (const auto& [sound, reason] : cases) {
    std::remove(dir_.file("b.wav").c_str());
    if (!sound.samples.empty()) writeSound("b.wav", sound);
    Result<AudioBuffer> mixed = mix();
    ASSERT_FALSE(mixed);
    EXPECT_TRUE(test::says(mixed.problem().message, reason));
    EXPECT_TRUE(test::says(mixed.problem().message, dir_.file("b.wav")));
  }
}

const double kInfinity = std::numeric_limits<double>::infinity();

// A deterministic noise in [-0.5, 0.5).
std::vector<float> noise(std::size_t count, uint32_t seed) {
  std::minstd_rand engine(seed);
  std::vector<float> samples(count);
  for (float& sample : samples) sample = static_cast<float>(engine() % 65536) / 65536 - 0.5f;
  return samples;
}

TEST(Fft, AgreesWithTheDefinitionAndInvertsExactly) {
  for (std::size_t size : {1u, 2u, 8u, 64u}) {
    SCOPED_TRACE(size);
    const std::vector<float> input = noise(2 * size, 7);
    std::vector<std::complex<double>> data(size);
    for (std::size_t i = 0; i < size; ++i) data[i] = {input[2 * i], input[2 * i + 1]};
    const std::vector<std::complex<double>> original = data;
    Fft(size).forward(data);
    for (std::size_t k = 0; k < size; ++k) {
      std::complex<double> sum = 0;
      for (std::size_t n = 0; n < size; ++n)
        sum += original[n] * std::polar(1.0, -2 * std::numbers::pi * k * n / size);
      EXPECT_NEAR(std::abs(data[k] - sum), 0, 1e-12) << k;
    }
    Fft(size).inverse(data);
    for (std::size_t n = 0; n < size; ++n) EXPECT_NEAR(std::abs(data[n] - original[n]), 0, 1e-15) << n;
  }
}

// One second of stereo: 2000 frames of silence, then noise under a slow swell, softer on the right.
AudioBuffer song() {
  AudioBuffer buffer{44100, 2, noise(2 * 44100, 3)};
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

// Frames moved later by `lag` (earlier when negative), the length grown to keep them all.
AudioBuffer delayed(const AudioBuffer& buffer, int64_t lag) {
  AudioBuffer moved = silentLike(buffer, buffer.frames() + std::max<int64_t>(lag, 0));
  const int64_t shift = lag * buffer.channels;
  for (int64_t i = std::max<int64_t>(0, -shift); i < std::ssize(buffer.samples); ++i)
    moved.samples[i + shift] = buffer.samples[i];
  return moved;
}

// A signal 20000 samples long crosses several blocks of the correlation at this range.
TEST(CrossCorrelation, FindsTheLagOfADelayedCopy) {
  const std::vector<float> reference = noise(20000, 1);
  for (int64_t lag : {0, 37, -250, 1000, -1000})
    EXPECT_EQ(bestLag(reference, delayed({44100, 1, reference}, lag).samples, 1000), lag);
}

// NaN: not checked; infinity: above 200 dB.
void expectFigure(double actual, double expected, const char* what) {
  if (std::isnan(expected)) return;
  EXPECT_TRUE(expected == kInfinity ? actual > 200
                                    : actual == expected || std::fabs(actual - expected) < 1e-6)
      << what << ": " << actual;
}

TEST(Fidelity, MeasuresKnownDifferencesFromTheReference) {
  const AudioBuffer reference = song();
  AudioBuffer gap = reference, clipped = reference;
  for (int64_t i = 2 * 22050; i < 2 * (22050 + 2205); ++i) gap.samples[i] = 0;  // 0.5 s on: one whole stretch
  clipped.at(30000, 1) = -1.5f;
  AudioBuffer cutShort = reference;
  cutShort.samples.resize(cutShort.samples.size() - 2 * 2205);  // the last stretch never plays
  const double nan = std::numeric_limits<double>::quiet_NaN(), half = 20 * std::log10(2.0), inf = kInfinity;
  const std::vector<std::tuple<const char*, AudioBuffer, FidelityFigures>> cases{
      {"Identical", reference, {0, inf, inf, 0, inf, nan, 0, 44100}},
      {"HalfAsLoud", scaled(reference, 0.5f), {half, half, half, 0, half, nan, 0, 44100}},
      {"TenMillisecondsLate", delayed(reference, 441), {0, inf, inf, 0, inf, nan, 441, 44100}},
      {"EarlyIntoTheLeadingSilence", delayed(reference, -1500), {0, inf, inf, 0, inf, nan, -1500, 44100}},
      {"FiftyMillisecondsMissing", gap, {nan, nan, nan, 0.5, 0, nan, 0, 44100}},
      {"EndingFiftyMillisecondsEarly", cutShort, {nan, nan, nan, 0.95, 0, nan, 0, 44100}},
      {"Silent", scaled(reference, 0), {nan, 0, 0, 0, 0, -inf, 0, 44100}},
      {"OneSampleClipped", clipped, {nan, nan, nan, nan, nan, 20 * std::log10(1.5), 0, 44100}},
  };
  for (const auto& [name, playback, expected] : cases) {
    SCOPED_TRACE(name);
    const FidelityFigures figures = comparePlayback(playback, reference);
    expectFigure(figures.logSpectralDistanceDb, expected.logSpectralDistanceDb, "log-spectral distance");
    expectFigure(figures.spectralSnrDb, expected.spectralSnrDb, "spectral SNR");
    expectFigure(figures.waveformSnrDb, expected.waveformSnrDb, "waveform SNR");
    expectFigure(figures.worstStretchSeconds, expected.worstStretchSeconds, "worst stretch's time");
    expectFigure(figures.worstStretchSnrDb, expected.worstStretchSnrDb, "worst stretch");
    expectFigure(figures.mixPeakDbfs, expected.mixPeakDbfs, "mix peak");
    EXPECT_EQ(figures.lagFrames, expected.lagFrames);
    EXPECT_EQ(figures.sampleRate, expected.sampleRate);
  }
  // Sound where the song is silent is the worst stretch of all, however little the song has there.
  AudioBuffer quietStart = reference;
  std::fill_n(quietStart.samples.begin(), 2 * 4410, 0.0f);
  const FidelityFigures noisy = comparePlayback(reference, quietStart);
  EXPECT_EQ(std::pair(noisy.worstStretchSeconds, noisy.worstStretchSnrDb), std::pair(0.0, -kInfinity));
}

TEST(Fidelity, OneLineNamesEveryFigure) {
  const FidelityFigures figures{1.234, 25.06, kInfinity, 73.45, -3.21, -0.8, 10, 44100};
  EXPECT_EQ(
      fidelityLine(figures).in(Audience::EnglishConsole),
      "log-spectral distance 1.23 dB, spectral SNR 25.1 dB, waveform SNR inf dB, worst 50 ms at 73.450 s "
      "(-3.2 dB), mix peak -0.8 dBFS, lag +0.23 ms (+10 frames)");
}

}  // namespace
}  // namespace rendlow::audio
