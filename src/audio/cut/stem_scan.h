#pragma once

// One pass over a stem a block at a time, gathering what the stem check asks of it: its length,
// its peak, where it is first heard, and the loudness of short stretches named beforehand. A
// long stem is never held whole.

#include <cstdint>
#include <deque>
#include <optional>
#include <utility>
#include <vector>

#include "audio/io/sound_stream.h"

namespace rendlow::audio {

// The stretch whose loudness tells a stem's noise floor: short enough that a stem with a pause
// between its notes has one where only its noise is.
constexpr double kNoiseStretchSeconds = 0.020;

// Frames [start, end) of a stem; parts before its start or past its end hold nothing.
struct FrameRange {
  int64_t start = 0;
  int64_t end = 0;
};

class StemScan {
public:
  // Reads `stem` to its end in blocks of `blockFrames`, gathering the loudness of each of `ranges`.
  StemScan(SoundStream& stem, std::vector<FrameRange> ranges, int64_t blockFrames);

  int64_t frames() const { return frames_; }
  float peak() const { return peak_; }
  // The frame of the stem's onset: its first sample within 60 dB of its peak, no quieter than a
  // 16-bit file hears, and clear of the stem's own noise floor (see noiseFloor); its length when
  // no sample is.
  int64_t onsetFrame() const;
  // The peak of the stem's quietest stretch of kNoiseStretchSeconds: what it holds where nothing
  // plays, as dither or a lossy codec leave it. 0 for a stem shorter than one stretch.
  float noiseFloor() const { return quietestStretchPeak_.value_or(0.0f); }
  // The root mean square of range `index`, clamped to the stem; 0 for no frames.
  double rmsOf(std::size_t index) const;

private:
  void add(const AudioBuffer& block);
  void addToRanges(const AudioBuffer& block);
  void addToStretch(float magnitude);

  std::vector<FrameRange> ranges_;
  std::vector<double> sumsOfSquares_;
  int32_t channels_ = 0;
  int64_t frames_ = 0;
  float peak_ = 0;
  int64_t stretchFrames_ = 0;   // of kNoiseStretchSeconds at the stem's rate
  int64_t stretchSamples_ = 0;  // of the stretch under way
  float stretchPeak_ = 0;
  std::optional<float> quietestStretchPeak_;
  // Each sample louder than every one before it, (index, magnitude), of those that may still be
  // the onset: the onset is necessarily one of them, as every sample before it is quieter.
  std::deque<std::pair<int64_t, float>> risingPeaks_;
};

}  // namespace rendlow::audio
