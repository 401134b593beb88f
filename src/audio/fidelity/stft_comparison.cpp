#include "audio/fidelity/stft_comparison.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <numbers>

#include "audio/fidelity/fft.h"

namespace rendlow::audio {

namespace {

constexpr std::size_t kFrameSize = 2048;
constexpr int64_t kHop = 512;
constexpr double kBinRange = 1e-6;  // 60 dB in power
// The playback's power is floored 120 dB below the loudest bin: a bin it lacks counts as a
// large difference, not an infinite one, and a level difference within the 60 dB range of
// compared bins is measured exactly.
constexpr double kPlaybackFloor = 1e-12;
// A full-scale sine through the Hann window peaks at a bin magnitude of frame size / 4; a
// frame whose loudest bin is 90 dB below that is silence.
constexpr double kSilentBinPower = (kFrameSize / 4.0) * (kFrameSize / 4.0) * 1e-9;

struct Totals {
  double referenceEnergy = 0;
  double differenceEnergy = 0;
  double distanceSum = 0;
  int64_t soundingFrames = 0;
};

std::vector<double> hannWindow() {
  std::vector<double> window(kFrameSize);
  for (std::size_t i = 0; i < kFrameSize; ++i)
    window[i] = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / kFrameSize);
  return window;
}

// Fills `frame` (kFrameSize long) with both signals' frame for one complex transform, reference
// as the real part and playback as the imaginary; the two spectra separate again by symmetry.
// Past the signals' end the frame is zero.
void fillFramePair(const AudioBuffer& reference, const AudioBuffer& playback, int64_t start, int32_t channel,
                   const std::vector<double>& window, std::vector<std::complex<double>>& frame) {
  const int64_t count = std::min<int64_t>(kFrameSize, reference.frames() - start);
  for (int64_t i = 0; i < count; ++i) {
    frame[i] = {window[i] * reference.at(start + i, channel), window[i] * playback.at(start + i, channel)};
  }
  std::fill(frame.begin() + count, frame.end(), std::complex<double>{});
}

// Powers of bins 0..N/2 of each signal, from the transform of a frame pair.
void separate(const std::vector<std::complex<double>>& z, std::vector<double>& referencePower,
              std::vector<double>& playbackPower) {
  for (std::size_t k = 0; k <= kFrameSize / 2; ++k) {
    const std::complex<double> mirrored = std::conj(z[(kFrameSize - k) % kFrameSize]);
    referencePower[k] = std::norm((z[k] + mirrored) * 0.5);
    playbackPower[k] = std::norm((z[k] - mirrored) * 0.5);
  }
}

void addFrame(const std::vector<double>& referencePower, const std::vector<double>& playbackPower,
              Totals& totals) {
  double loudest = 0;
  for (std::size_t k = 0; k < referencePower.size(); ++k) {
    const double difference = std::sqrt(referencePower[k]) - std::sqrt(playbackPower[k]);
    totals.referenceEnergy += referencePower[k];
    totals.differenceEnergy += difference * difference;
    loudest = std::max(loudest, referencePower[k]);
  }
  if (loudest < kSilentBinPower) return;
  double squares = 0;
  int64_t bins = 0;
  for (std::size_t k = 0; k < referencePower.size(); ++k) {
    if (referencePower[k] < loudest * kBinRange) continue;
    const double db =
        10 * std::log10(referencePower[k] / std::max(playbackPower[k], loudest * kPlaybackFloor));
    squares += db * db;
    ++bins;
  }
  totals.distanceSum += std::sqrt(squares / static_cast<double>(bins));
  ++totals.soundingFrames;
}

double ratioDb(double signal, double noise) {
  if (noise == 0) return std::numeric_limits<double>::infinity();
  return 10 * std::log10(signal / noise);
}

}  // namespace

SpectralFigures compareSpectra(const AudioBuffer& reference, const AudioBuffer& playback) {
  const Fft fft(kFrameSize);
  const std::vector<double> window = hannWindow();
  std::vector<double> referencePower(kFrameSize / 2 + 1);
  std::vector<double> playbackPower(kFrameSize / 2 + 1);
  std::vector<std::complex<double>> pair(kFrameSize);
  Totals totals;
  for (int32_t channel = 0; channel < reference.channels; ++channel) {
    for (int64_t start = 0; start < reference.frames(); start += kHop) {
      fillFramePair(reference, playback, start, channel, window, pair);
      fft.forward(pair);
      separate(pair, referencePower, playbackPower);
      addFrame(referencePower, playbackPower, totals);
    }
  }
  const double distance =
      totals.soundingFrames ? totals.distanceSum / static_cast<double>(totals.soundingFrames) : 0;
  return {distance, ratioDb(totals.referenceEnergy, totals.differenceEnergy)};
}

}  // namespace rendlow::audio
