#include "audio/cut/stem_scan.h"

#include <algorithm>
#include <cmath>

#include "audio/cut/sound_cut.h"
#include "audio/synth/tempo_map.h"

namespace rendlow::audio {

namespace {

// A stem's onset lies within this ratio (60 dB) of its peak: a quiet first note is still heard.
constexpr float kOnsetBelowPeak = 0.001f;
// And this far (12 dB) above its noise floor: a dithered stem is never silent, however quiet.
constexpr float kOnsetAboveNoise = 4.0f;
// The loudest floor taken for noise (-54 dBFS): dither, noise-shaped or not, and what a lossy
// codec leaves in silence lie far below it. A stem whose quietest stretch is louder never
// pauses: that stretch is its quietest sound, not its noise.
constexpr float kLoudestNoise = 1.0f / 512;
// The noise floor raises the onset's level to this ratio (20 dB) of the peak at most.
constexpr float kNoiseBelowPeak = 0.1f;

float onsetLevel(float peak) { return std::max(kAudibleFloor, peak * kOnsetBelowPeak); }

float onsetLevel(float peak, float noiseFloor) {
  if (noiseFloor > kLoudestNoise) return onsetLevel(peak);
  return std::max(onsetLevel(peak), std::min(noiseFloor * kOnsetAboveNoise, peak * kNoiseBelowPeak));
}

}  // namespace

StemScan::StemScan(SoundStream& stem, std::vector<FrameRange> ranges, int64_t blockFrames)
    : ranges_(std::move(ranges)), sumsOfSquares_(ranges_.size(), 0.0) {
  for (AudioBuffer block = stem.next(blockFrames); block.frames() > 0; block = stem.next(blockFrames)) add(block);
}

void StemScan::add(const AudioBuffer& block) {
  channels_ = block.channels;
  stretchFrames_ = frameAt(kNoiseStretchSeconds, block.sampleRate);
  addToRanges(block);
  const int64_t firstSample = frames_ * channels_;
  for (std::size_t i = 0; i < block.samples.size(); ++i) {
    const float magnitude = std::fabs(block.samples[i]);
    addToStretch(magnitude);
    if (!(magnitude > peak_)) continue;
    peak_ = magnitude;
    risingPeaks_.emplace_back(firstSample + static_cast<int64_t>(i), magnitude);
    // A sample below the onset level of the peak so far is below that of the final peak too.
    while (!risingPeaks_.empty() && risingPeaks_.front().second < onsetLevel(peak_)) risingPeaks_.pop_front();
  }
  frames_ += block.frames();
}

void StemScan::addToStretch(float magnitude) {
  stretchPeak_ = std::max(stretchPeak_, magnitude);
  if (++stretchSamples_ < stretchFrames_ * channels_) return;
  quietestStretchPeak_ = std::min(quietestStretchPeak_.value_or(stretchPeak_), stretchPeak_);
  stretchSamples_ = 0;
  stretchPeak_ = 0;
}

// Each range's samples are summed in the stem's order, block after block, so that the sum is
// the very one of the whole stem at once.
void StemScan::addToRanges(const AudioBuffer& block) {
  const int64_t blockEnd = frames_ + block.frames();
  for (std::size_t r = 0; r < ranges_.size(); ++r) {
    const int64_t start = std::max(ranges_[r].start, frames_), end = std::min(ranges_[r].end, blockEnd);
    for (int64_t i = (start - frames_) * channels_; i < (end - frames_) * channels_; ++i) {
      const double sample = block.samples[static_cast<std::size_t>(i)];
      sumsOfSquares_[r] += sample * sample;
    }
  }
}

// The loudest samples below the onset level are let go as the peak grows, the last time for the
// peak itself; of those kept, rising, the first clear of the noise floor is the onset.
int64_t StemScan::onsetFrame() const {
  const float level = onsetLevel(peak_, noiseFloor());
  const auto onset = std::find_if(risingPeaks_.begin(), risingPeaks_.end(),
                                  [level](const auto& sample) { return sample.second >= level; });
  return onset == risingPeaks_.end() ? frames_ : onset->first / channels_;
}

double StemScan::rmsOf(std::size_t index) const {
  const int64_t start = std::clamp<int64_t>(ranges_[index].start, 0, frames_);
  const int64_t end = std::clamp<int64_t>(ranges_[index].end, start, frames_);
  const int64_t count = (end - start) * channels_;
  return count > 0 ? std::sqrt(sumsOfSquares_[index] / static_cast<double>(count)) : 0.0;
}

}  // namespace rendlow::audio
