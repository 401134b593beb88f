#pragma once

#include "audio/io/audio_buffer.h"

namespace rendlow::audio {

// How far the short-time spectra of a playback stray from the reference's, frame by frame:
// 2048-sample frames every 512 samples, Hann window, each channel on its own.
struct SpectralFigures {
  // The root mean square of the level difference in dB over the bins within 60 dB of the
  // frame's loudest reference bin, averaged over the frames where the reference sounds (its
  // loudest bin above -90 dB of full scale).
  double logSpectralDistanceDb = 0;
  // Reference magnitude energy over the energy of the magnitude differences, in dB: like a
  // signal-to-noise ratio, but deaf to phase. Infinite when the magnitudes agree.
  double spectralSnrDb = 0;
};

// `playback` is aligned to `reference` and has its length, rate and channel count.
SpectralFigures compareSpectra(const AudioBuffer& reference, const AudioBuffer& playback);

}  // namespace rendlow::audio
