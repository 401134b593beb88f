#pragma once

// The measures a playback is compared with its reference by: the lag that lines them up, then,
// once lined up, how far their short-time spectra and their samples stray.

#include <cstdint>
#include <memory>
#include <vector>

#include "audio/fidelity/fft.h"
#include "audio/io/audio_buffer.h"

namespace rendlow::audio {

// The lag by which `signal` runs late against `reference` (signal[n] ≈ reference[n - lag]):
// the lag within ±maxLag where their cross-correlation peaks, and of equal peaks the one
// nearest zero. Computed block by block with FFTs, so memory stays bounded by the lag range
// however long the song.
int64_t bestLag(const std::vector<float>& reference, const std::vector<float>& signal, int64_t maxLag);

// bestLag as the reference and the signal come, sample by sample from index 0 of each: a block
// of the reference is correlated once the signal reaches maxLag past it, and let go with the
// signal before it, so only a block of each is held, however long the window searched.
class LagCorrelation {
public:
  explicit LagCorrelation(int64_t maxLag);
  void addReference(float sample) { reference_.push_back(sample); }
  void addSignal(float sample);
  // The lag over the reference added: the signal past what came is silence.
  int64_t lag();

private:
  void correlateBlock();

  int64_t maxLag_;
  std::shared_ptr<const Fft> fft_;  // shared by the searches under way
  int64_t block_;
  std::vector<float> reference_;  // from the block under way on
  std::vector<float> signal_;     // from maxLag_ before that block on
  std::vector<double> sums_;
};

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

// The largest sample's level in dBFS; minus infinity for silence.
double peakDbfs(const AudioBuffer& buffer);

// The frame after the last one with a sample above -60 dBFS on any channel; 0 for silence.
int64_t audibleEnd(const AudioBuffer& buffer);

// The largest sample and the audible end of a sound that comes a block at a time.
class LevelWatch {
public:
  void add(const AudioBuffer& block);
  double peakDbfs() const;
  int64_t audibleEnd() const { return audibleEnd_; }

private:
  float peak_ = 0;
  int64_t frames_ = 0;
  int64_t audibleEnd_ = 0;
};

}  // namespace rendlow::audio
