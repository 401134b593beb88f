#include "audio/fidelity.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>
#include <numbers>

#include "audio/cross_correlation.h"
#include "audio/fft.h"

namespace rendlow::audio {
namespace {

const double kInfinity = std::numeric_limits<double>::infinity();
const double kHalfGainDb = 20 * std::log10(2.0);

// A deterministic noise: xorshift, in [-0.5, 0.5).
std::vector<float> noise(std::size_t count, uint32_t seed) {
  std::vector<float> samples(count);
  for (float& sample : samples) {
    seed ^= seed << 13;
    seed ^= seed >> 17;
    seed ^= seed << 5;
    sample = static_cast<float>(seed % 65536) / 65536 - 0.5f;
  }
  return samples;
}

TEST(Fft, AgreesWithTheDefinitionAndInvertsExactly) {
  for (std::size_t size : {1u, 2u, 8u, 64u}) {
    SCOPED_TRACE(size);
    const std::vector<float> input = noise(2 * size, 7);
    std::vector<std::complex<double>> data(size);
    for (std::size_t i = 0; i < size; ++i) data[i] = {input[2 * i], input[2 * i + 1]};
    const std::vector<std::complex<double>> original = data;
    const Fft fft(size);
    fft.forward(data);
    for (std::size_t k = 0; k < size; ++k) {
      std::complex<double> sum = 0;
      for (std::size_t n = 0; n < size; ++n)
        sum += original[n] * std::polar(1.0, -2 * std::numbers::pi * k * n / size);
      EXPECT_NEAR(std::abs(data[k] - sum), 0, 1e-12) << k;
    }
    fft.inverse(data);
    for (std::size_t n = 0; n < size; ++n) EXPECT_NEAR(std::abs(data[n] - original[n]), 0, 1e-15) << n;
  }
}

// A signal 20000 samples long crosses several blocks of the correlation at this range.
TEST(CrossCorrelation, FindsTheLagOfADelayedCopy) {
  const std::vector<float> reference = noise(20000, 1);
  for (int64_t lag : {0, 37, -250, 1000, -1000}) {
    SCOPED_TRACE(lag);
    std::vector<float> signal(reference.size(), 0.0f);
    for (int64_t n = 0; n < static_cast<int64_t>(signal.size()); ++n) {
      if (n - lag >= 0 && n - lag < static_cast<int64_t>(reference.size())) signal[n] = reference[n - lag];
    }
    EXPECT_EQ(bestLag(reference, signal, 1000), lag);
  }
  EXPECT_EQ(bestLag(reference, std::vector<float>(100, 0.0f), 1000), 0) << "silence has no lag";
}

// One second of a stereo song: 2000 frames of silence, then noise under a slow swell.
AudioBuffer song() {
  AudioBuffer buffer{44100, 2, noise(2 * 44100, 3)};
  for (int64_t frame = 0; frame < buffer.frames(); ++frame) {
    const float swell =
        frame < 2000 ? 0.0f : static_cast<float>(0.2 + 0.8 * std::sin(std::numbers::pi * frame / 44100));
    buffer.at(frame, 0) *= swell;
    buffer.at(frame, 1) *= swell * 0.5f;
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
  for (int64_t frame = 0; frame < buffer.frames(); ++frame) {
    if (frame + lag < 0) continue;
    for (int32_t channel = 0; channel < 2; ++channel)
      moved.at(frame + lag, channel) = buffer.at(frame, channel);
  }
  return moved;
}

// The 50 ms from 0.5 s silenced: exactly one stretch of the worst figure.
AudioBuffer withGap(AudioBuffer buffer) {
  for (int64_t frame = 22050; frame < 22050 + 2205; ++frame) buffer.at(frame, 0) = buffer.at(frame, 1) = 0;
  return buffer;
}

struct FidelityCase {
  const char* name;
  AudioBuffer playback;
  double distance;
  double spectralSnr;
  double waveformSnr;
  double worstSeconds;
  double worstSnr;
  int64_t lag;
};

void expectDb(double actual, double expected, const char* what) {
  if (std::isinf(expected)) {
    EXPECT_GT(actual, 200) << what;
  } else {
    EXPECT_NEAR(actual, expected, 1e-6) << what;
  }
}

TEST(Fidelity, MeasuresKnownDifferencesFromTheReference) {
  const AudioBuffer reference = song();
  const std::vector<FidelityCase> cases{
      {"Identical", reference, 0, kInfinity, kInfinity, 0, kInfinity, 0},
      {"HalfAsLoud", scaled(reference, 0.5f), kHalfGainDb, kHalfGainDb, kHalfGainDb, 0, kHalfGainDb, 0},
      {"TenMillisecondsLate", delayed(reference, 441), 0, kInfinity, kInfinity, 0, kInfinity, 441},
      {"EarlyIntoTheLeadingSilence", delayed(reference, -1500), 0, kInfinity, kInfinity, 0, kInfinity, -1500},
      {"FiftyMillisecondsMissing", withGap(reference), -1, -1, -1, 0.5, 0, 0},
  };
  for (const FidelityCase& c : cases) {
    SCOPED_TRACE(c.name);
    const FidelityFigures figures = comparePlayback(c.playback, reference);
    EXPECT_EQ(figures.lagFrames, c.lag);
    EXPECT_EQ(figures.sampleRate, 44100);
    if (c.distance >= 0) {
      EXPECT_NEAR(figures.logSpectralDistanceDb, c.distance, 1e-6);
    }
    if (c.spectralSnr >= 0) expectDb(figures.spectralSnrDb, c.spectralSnr, "spectral SNR");
    if (c.waveformSnr >= 0) expectDb(figures.waveformSnrDb, c.waveformSnr, "waveform SNR");
    if (!std::isinf(c.worstSnr)) {
      EXPECT_NEAR(figures.worstStretchSeconds, c.worstSeconds, 1e-12);
    }
    expectDb(figures.worstStretchSnrDb, c.worstSnr, "worst stretch");
  }
}

TEST(Fidelity, MixPeakIsTheLoudestSampleInDbfs) {
  AudioBuffer playback = song();
  const FidelityFigures quiet = comparePlayback(scaled(playback, 0.0f), song());
  EXPECT_EQ(quiet.mixPeakDbfs, -kInfinity);
  playback.at(30000, 1) = -1.5f;
  EXPECT_NEAR(comparePlayback(playback, song()).mixPeakDbfs, 20 * std::log10(1.5), 1e-6);
}

TEST(Fidelity, OneLineNamesEveryFigure) {
  const FidelityFigures figures{1.234, 25.06, kInfinity, 73.45, -3.21, -0.8, -10, 44100};
  EXPECT_EQ(
      fidelityLine(figures),
      "log-spectral distance 1.23 dB, spectral SNR 25.1 dB, waveform SNR inf dB, worst 50 ms at 73.450 s "
      "(-3.2 dB), mix peak -0.8 dBFS, lag -0.23 ms (-10 frames)");
}

}  // namespace
}  // namespace rendlow::audio
