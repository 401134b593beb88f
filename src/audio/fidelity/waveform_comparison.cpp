#include "audio/fidelity/waveform_comparison.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "audio/fidelity/sound_level.h"

namespace rendlow::audio {

namespace {

constexpr double kAudibleMeanSquare = 1e-6;  // -60 dBFS RMS
constexpr double kClearlyHeardMeanSquare = 1e-4;  // -40 dBFS RMS

}  // namespace

int64_t stretchFrames(int32_t sampleRate) {
  return std::max<int64_t>(1, std::llround(kStretchSeconds * sampleRate));
}

WaveformComparison::WaveformComparison(int32_t sampleRate, int32_t channels)
    : sampleRate_(sampleRate), channels_(channels), stretch_(stretchFrames(sampleRate)) {
  figures_.worstStretchSnrDb = std::numeric_limits<double>::infinity();
}

// Each stretch is summed in one go, from the block where it lies whole, else once its samples
// have gathered, so that the sums do not depend on how the sound came in blocks.
void WaveformComparison::add(const AudioBuffer& reference, const AudioBuffer& playback) {
  const auto stretchSamples = static_cast<std::size_t>(stretch_ * channels_);
  const std::size_t samples = reference.samples.size();
  std::size_t at = 0;
  if (!pendingReference_.empty()) {
    at = std::min(samples, stretchSamples - pendingReference_.size());
    pendingReference_.insert(pendingReference_.end(), reference.samples.begin(), reference.samples.begin() + at);
    pendingPlayback_.insert(pendingPlayback_.end(), playback.samples.begin(), playback.samples.begin() + at);
    if (pendingReference_.size() < stretchSamples) return;
    addStretch(pendingReference_.data(), pendingPlayback_.data(), stretchSamples);
    pendingReference_.clear();
    pendingPlayback_.clear();
  }
  for (; samples - at >= stretchSamples; at += stretchSamples)
    addStretch(reference.samples.data() + at, playback.samples.data() + at, stretchSamples);
  pendingReference_.assign(reference.samples.begin() + at, reference.samples.end());
  pendingPlayback_.assign(playback.samples.begin() + at, playback.samples.end());
}

// A stretch's energies, all channels alike, summed in a few partial sums at a time (see
// addPowers); the whole song's are the stretches' summed.
void WaveformComparison::addStretch(const float* wanted, const float* played, std::size_t samples) {
  double reference = 0, error = 0, playback = 0;
#pragma omp simd reduction(+ : reference, error, playback)
  for (std::size_t i = 0; i < samples; ++i) {
    const double difference = static_cast<double>(played[i]) - wanted[i];
    reference += static_cast<double>(wanted[i]) * wanted[i];
    error += difference * difference;
    playback += static_cast<double>(played[i]) * played[i];
  }
  const double audible = kAudibleMeanSquare * static_cast<double>(samples);
  if (reference >= kClearlyHeardMeanSquare * static_cast<double>(samples) && playback < audible &&
      figures_.silentStretches++ == 0) {
    figures_.firstSilentStretchSeconds = static_cast<double>(stretchStart_) / sampleRate_;
  }
  if (std::max(reference, error) >= audible) {
    if (const double snr = ratioDb(reference, error); snr < figures_.worstStretchSnrDb) {
      figures_.worstStretchSnrDb = snr;
      figures_.worstStretchSeconds = static_cast<double>(stretchStart_) / sampleRate_;
    }
  }
  wholeReference_ += reference;
  wholeError_ += error;
  stretchStart_ += static_cast<int64_t>(samples) / channels_;
}

WaveformFigures WaveformComparison::finish() {
  if (!pendingReference_.empty())
    addStretch(pendingReference_.data(), pendingPlayback_.data(), pendingReference_.size());
  figures_.snrDb = ratioDb(wholeReference_, wholeError_);
  return figures_;
}

}  // namespace rendlow::audio
