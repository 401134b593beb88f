#pragma once

#include "audio/io/audio_buffer.h"

namespace rendlow::audio {

// How far a playback's samples stray from the reference's, over all channels.
struct WaveformFigures {
  double snrDb = 0;  // reference energy over error energy; infinite when they agree
  // The 50 ms stretch (stepping by 50 ms from the start) with the lowest signal-to-noise ratio
  // among those where the reference or the error is audible (above -60 dBFS RMS), and its start.
  double worstStretchSeconds = 0;
  double worstStretchSnrDb = 0;
};

constexpr double kStretchSeconds = 0.05;

// `playback` is aligned to `reference` and has its length, rate and channel count.
WaveformFigures compareWaveforms(const AudioBuffer& reference, const AudioBuffer& playback);

// The largest sample's level in dBFS; minus infinity for silence.
double peakDbfs(const AudioBuffer& buffer);

}  // namespace rendlow::audio
