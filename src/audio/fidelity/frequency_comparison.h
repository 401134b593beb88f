#pragma once

// How far a playback's short-time spectra stray from its reference's, once the two are lined up.

#include <cstdint>
#include <vector>

#include "audio/fidelity/fft.h"
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

// The spectra compared as the sound comes, a block at a time: only the frames of the spectral
// frame not yet complete are held.
class SpectraComparison {
public:
  explicit SpectraComparison(int32_t channels);
  // The next frames of the reference and of the playback aligned to it, as many of each.
  void add(const AudioBuffer& reference, const AudioBuffer& playback);
  // The frames still pending, zero past the end, then the figures.
  SpectralFigures finish();

private:
  struct Totals {
    double referenceEnergy = 0;
    double differenceEnergy = 0;
    double distanceSum = 0;
    int64_t soundingFrames = 0;
  };
  void addFrame(int64_t count);
  void dropFrames(int64_t count);

  AudioBuffer reference_;  // the frames from the next spectral frame's start on, and some before
  AudioBuffer playback_;
  int64_t held_ = 0;  // where in them the next spectral frame starts
  std::vector<Totals> totals_;  // each channel's
  // Room for one frame's transform and powers, kept rather than made for each of the many frames.
  BasicSplitComplex<float> pair_;
  std::vector<float> referencePower_;
  std::vector<float> playbackPower_;
};

}  // namespace rendlow::audio
