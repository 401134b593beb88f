#pragma once

// How far a playback's samples stray from its reference's, once the two are lined up.

#include <cstdint>
#include <vector>

#include "audio/io/audio_buffer.h"

namespace rendlow::audio {

// How far a playback's samples stray from the reference's, over all channels.
struct WaveformFigures {
  double snrDb = 0;  // reference energy over error energy; infinite when they agree
  // The 50 ms stretch (stepping by 50 ms from the start) with the lowest signal-to-noise ratio
  // among those where the reference or the error is audible (above -60 dBFS RMS), and its start.
  double worstStretchSeconds = 0;
  double worstStretchSnrDb = 0;
  // The stretches where the reference is clearly heard (above -40 dBFS RMS) and the playback is
  // not (below -60 dBFS RMS): a sound the chart lost, not one it plays a little differently.
  int64_t silentStretches = 0;
  double firstSilentStretchSeconds = 0;
};

constexpr double kStretchSeconds = 0.05;

// A stretch in frames at `sampleRate`, at least one.
int64_t stretchFrames(int32_t sampleRate);

// The samples compared a block at a time; only the 50 ms stretch not yet complete is held.
class WaveformComparison {
public:
  explicit WaveformComparison(int32_t sampleRate, int32_t channels);
  // The next frames of the reference and of the playback aligned to it, as many of each.
  void add(const AudioBuffer& reference, const AudioBuffer& playback);
  WaveformFigures finish();

private:
  void addStretch(const float* wanted, const float* played, std::size_t samples);

  int32_t sampleRate_;
  int32_t channels_;
  int64_t stretch_;  // in frames
  WaveformFigures figures_;
  double wholeReference_ = 0;
  double wholeError_ = 0;
  int64_t stretchStart_ = 0;  // in frames
  std::vector<float> pendingReference_;  // the samples of the stretch under way
  std::vector<float> pendingPlayback_;
};

}  // namespace rendlow::audio
