#include "audio/fidelity/frequency_comparison.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "audio/fidelity/natural_log.h"
#include "audio/fidelity/sound_level.h"

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

std::vector<float> hannWindow() {
  std::vector<float> window(kFrameSize);
  for (std::size_t i = 0; i < kFrameSize; ++i)
    window[i] = static_cast<float>(0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / kFrameSize));
  return window;
}

// Whether a channel of `buffer` is exactly zero over `count` frames from `start`: where both the
// reference and the playback are, the frame adds nothing to any total (no energy, and silent),
// so it is not transformed at all.
bool silentFrame(const AudioBuffer& buffer, int64_t start, int64_t count, int32_t channel) {
  for (int64_t i = 0; i < count; ++i) {
    if (buffer.at(start + i, channel) != 0) return false;
  }
  return true;
}

// Whether a channel of two buffers holds the same samples over `count` frames from `start`.
bool sameFrame(const AudioBuffer& one, const AudioBuffer& other, int64_t start, int64_t count,
               int32_t channel) {
  for (int64_t i = 0; i < count; ++i) {
    if (one.at(start + i, channel) != other.at(start + i, channel)) return false;
  }
  return true;
}

// Fills `frame` with both signals' frame for one complex transform, reference as the real part
// and playback as the imaginary; the two spectra separate again by symmetry. Past `count` frames
// the frame is zero.
void fillFramePair(const AudioBuffer& reference, const AudioBuffer& playback, int64_t start, int64_t count,
                   int32_t channel, const std::vector<float>& window, BasicSplitComplex<float>& frame) {
  for (int64_t i = 0; i < count; ++i) {
    frame.real[i] = window[i] * reference.at(start + i, channel);
    frame.imag[i] = window[i] * playback.at(start + i, channel);
  }
  std::fill(frame.real.begin() + count, frame.real.end(), 0.0f);
  std::fill(frame.imag.begin() + count, frame.imag.end(), 0.0f);
}

// Powers of bins 0..N/2 of each signal, in the order forEachMirroredBin takes them, from the
// transform of a frame pair (its bins in bit-reversed order): the reference's bin is
// (z[k] + conj z[N-k]) / 2 and the playback's (z[k] - conj z[N-k]) / 2i.
void separate(const BasicSplitComplex<float>& z, std::vector<float>& referencePower,
              std::vector<float>& playbackPower) {
  std::size_t bin = 0;
  forEachMirroredBin(kFrameSize, [&](std::size_t p, std::size_t m) {
    const float sumReal = z.real[p] + z.real[m], differenceImag = z.imag[p] - z.imag[m];
    const float differenceReal = z.real[p] - z.real[m], sumImag = z.imag[p] + z.imag[m];
    referencePower[bin] = 0.25f * (sumReal * sumReal + differenceImag * differenceImag);
    playbackPower[bin] = 0.25f * (differenceReal * differenceReal + sumImag * sumImag);
    ++bin;
  });
}

// Level differences in dB are taken as natural logs, one a bin, and scaled once a frame.
constexpr double kDbPerNeper = 10 / std::numbers::ln10;

// The loops over a frame's bins are written for the compiler to take several bins at a time
// (OpenMP's simd, which needs no runtime): in floats, each choice a select, the count included
// (in a double, exact far beyond a frame's bins), and the sums in doubles, kept in a few partial
// sums added at the end. A level ratio is at most 1e12 (the playback's floor) and at least 1e-6
// of the loudest reference bin over the loudest playback bin: a normal float for any sound of
// bounded samples (sounds read are clamped to full scale), as the fast log needs.
template <typename Totals>
void addPowers(const std::vector<float>& referencePower, const std::vector<float>& playbackPower,
               Totals& totals) {
  const float* reference = referencePower.data();
  const float* playback = playbackPower.data();
  const std::size_t bins = referencePower.size();
  double referenceEnergy = 0, differenceEnergy = 0;
  float loudest = 0;
#pragma omp simd reduction(+ : referenceEnergy, differenceEnergy) reduction(max : loudest)
  for (std::size_t k = 0; k < bins; ++k) {
    const double difference = std::sqrt(reference[k]) - std::sqrt(playback[k]);
    referenceEnergy += reference[k];
    differenceEnergy += difference * difference;
    loudest = reference[k] > loudest ? reference[k] : loudest;
  }
  totals.referenceEnergy += referenceEnergy;
  totals.differenceEnergy += differenceEnergy;
  if (loudest < kSilentBinPower) return;
  const auto quietest = static_cast<float>(loudest * kBinRange);
  const auto floor = static_cast<float>(loudest * kPlaybackFloor);
  double squares = 0, counted = 0;
#pragma omp simd reduction(+ : squares, counted)
  for (std::size_t k = 0; k < bins; ++k) {
    const float ratio = reference[k] / (playback[k] > floor ? playback[k] : floor);
    const double nepers = naturalLogOfNormal(ratio);
    const bool inRange = reference[k] >= quietest;
    squares += inRange ? nepers * nepers : 0.0;
    counted += inRange ? 1.0 : 0.0;
  }
  totals.distanceSum += kDbPerNeper * std::sqrt(squares / counted);
  ++totals.soundingFrames;
}

}  // namespace

SpectraComparison::SpectraComparison(int32_t channels)
    : reference_{0, channels, {}},
      playback_{0, channels, {}},
      totals_(static_cast<std::size_t>(channels)),
      pair_(kFrameSize),
      referencePower_(kFrameSize / 2 + 1),
      playbackPower_(kFrameSize / 2 + 1) {}

void SpectraComparison::add(const AudioBuffer& reference, const AudioBuffer& playback) {
  reference_.samples.insert(reference_.samples.end(), reference.samples.begin(), reference.samples.end());
  playback_.samples.insert(playback_.samples.end(), playback.samples.begin(), playback.samples.end());
  while (reference_.frames() - held_ >= static_cast<int64_t>(kFrameSize)) {
    addFrame(kFrameSize);
    dropFrames(kHop);
  }
}

// A frame of each channel, each channel's totals kept apart so that they add up as they would
// channel after channel. The transform is in floats, nearly twice as fast as in doubles and as
// exact as the figures need, but the two signals sharing it leak a rounding of each into the
// other's bins: where a side is silent, or the playback is the reference itself, its powers are
// set to what they exactly are, so that a lost or an added sound, or a perfect copy, measures
// as such.
void SpectraComparison::addFrame(int64_t count) {
  static const BasicFft<float> fft(kFrameSize);
  static const std::vector<float> window = hannWindow();
  for (int32_t channel = 0; channel < reference_.channels; ++channel) {
    const bool referenceSilent = silentFrame(reference_, held_, count, channel);
    const bool playbackSilent = silentFrame(playback_, held_, count, channel);
    if (referenceSilent && playbackSilent) continue;
    fillFramePair(reference_, playback_, held_, count, channel, window, pair_);
    fft.forwardToReversed(pair_);
    separate(pair_, referencePower_, playbackPower_);
    if (referenceSilent) std::fill(referencePower_.begin(), referencePower_.end(), 0.0f);
    if (playbackSilent) {
      std::fill(playbackPower_.begin(), playbackPower_.end(), 0.0f);
    } else if (sameFrame(reference_, playback_, held_, count, channel)) {
      playbackPower_ = referencePower_;
    }
    addPowers(referencePower_, playbackPower_, totals_[static_cast<std::size_t>(channel)]);
  }
}

// The frames before the next spectral frame are let go now and then, not at every hop, so the
// buffer is seldom moved.
void SpectraComparison::dropFrames(int64_t count) {
  held_ += count;
  if (held_ < static_cast<int64_t>(8 * kFrameSize)) return;
  const auto drop = static_cast<std::ptrdiff_t>(held_ * reference_.channels);
  reference_.samples.erase(reference_.samples.begin(), reference_.samples.begin() + drop);
  playback_.samples.erase(playback_.samples.begin(), playback_.samples.begin() + drop);
  held_ = 0;
}

SpectralFigures SpectraComparison::finish() {
  for (; held_ < reference_.frames(); held_ += kHop) addFrame(reference_.frames() - held_);
  Totals all;
  for (const Totals& channel : totals_) {
    all.referenceEnergy += channel.referenceEnergy;
    all.differenceEnergy += channel.differenceEnergy;
    all.distanceSum += channel.distanceSum;
    all.soundingFrames += channel.soundingFrames;
  }
  const double distance = all.soundingFrames ? all.distanceSum / static_cast<double>(all.soundingFrames) : 0;
  return {distance, ratioDb(all.referenceEnergy, all.differenceEnergy)};
}

}  // namespace rendlow::audio
