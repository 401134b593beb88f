#include "audio/fidelity/sound_level.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace rendlow::audio {

namespace {

constexpr float kAudibleSample = 0.001f;  // -60 dBFS

// Several samples at a time (see the spectra's addPowers).
float largestSample(const AudioBuffer& buffer) {
  const float* samples = buffer.samples.data();
  float largest = 0;
#pragma omp simd reduction(max : largest)
  for (std::size_t i = 0; i < buffer.samples.size(); ++i)
    largest = std::fabs(samples[i]) > largest ? std::fabs(samples[i]) : largest;
  return largest;
}

double dbfsOf(float peak) {
  return peak == 0 ? -std::numeric_limits<double>::infinity() : 20 * std::log10(static_cast<double>(peak));
}

}  // namespace

double ratioDb(double signal, double noise) {
  if (noise == 0) return std::numeric_limits<double>::infinity();
  return 10 * std::log10(signal / noise);
}

double peakDbfs(const AudioBuffer& buffer) { return dbfsOf(largestSample(buffer)); }

void LevelWatch::add(const AudioBuffer& block) {
  peak_ = std::max(peak_, largestSample(block));
  if (const int64_t end = audio::audibleEnd(block); end > 0) audibleEnd_ = frames_ + end;
  frames_ += block.frames();
}

double LevelWatch::peakDbfs() const { return dbfsOf(peak_); }

int64_t audibleEnd(const AudioBuffer& buffer) {
  const auto last = std::find_if(buffer.samples.rbegin(), buffer.samples.rend(),
                                 [](float sample) { return std::fabs(sample) >= kAudibleSample; });
  const auto sampleEnd = static_cast<int64_t>(buffer.samples.rend() - last);
  return buffer.channels > 0 ? (sampleEnd + buffer.channels - 1) / buffer.channels : 0;
}

}  // namespace rendlow::audio
