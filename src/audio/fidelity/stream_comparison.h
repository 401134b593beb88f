#pragma once

// A playback compared with its reference as both come, a block at a time: first the lag, from a
// window of the reference's start, then the figures over the whole reference, the playback
// moved into line as it is read.

#include <cstdint>
#include <memory>
#include <vector>

#include "audio/fidelity/fidelity.h"
#include "audio/fidelity/frequency_comparison.h"
#include "audio/fidelity/lag_correlation.h"
#include "audio/fidelity/sound_level.h"
#include "audio/fidelity/waveform_comparison.h"
#include "audio/io/sound_stream.h"

namespace rendlow::audio {

// How much of the reference, from its first sound on, the lag is looked for in: a playback
// that lines up there lines up throughout, and the search holds this much and no more.
constexpr double kLagWindowSeconds = 30.0;

// The transform the lag searches at `sampleRate` share (see lagTransform).
Fft lagSearchTransform(int32_t sampleRate);

// The lag of a playback against the reference handed to it, found within ±kLagSearchSeconds
// over the window. Reads as many frames of the playback as the reference brings, and past the
// window or the reference's end as many again as the search reaches.
class LagSearch {
public:
  // `transform`, lagSearchTransform(sampleRate), outlives the search.
  LagSearch(std::unique_ptr<SoundStream> playback, int32_t sampleRate, const Fft& transform);
  void addReference(const AudioBuffer& block);
  // True once the window is full: nothing more of the reference is needed.
  bool done() const;
  // The lag found, however much of the window the reference filled; the problem is a read of the
  // playback that failed (see SoundStream::finish).
  Result<int64_t> lag();

private:
  void keep(const AudioBuffer& reference, const AudioBuffer& playback);
  void hear();
  void addPlayed(float sample);

  std::unique_ptr<SoundStream> playback_;
  int64_t maxLag_;
  int64_t window_;
  bool heard_ = false;  // the reference has sounded
  int64_t referenceKept_ = 0;  // frames from the reference's first sound on
  int64_t playedKept_ = 0;     // frames from maxLag_ before the reference's first sound on
  std::vector<float> before_;  // mono: the playback's last maxLag_ frames before the reference sounds
  LagCorrelation correlation_;  // the reference with maxLag_ of silence before it, and the playback
};

// The figures of a playback lined up by `lag` against the reference handed to it.
class PlaybackComparison {
public:
  PlaybackComparison(int64_t lag, std::unique_ptr<SoundStream> playback, int32_t sampleRate, int32_t channels);
  void addReference(const AudioBuffer& block);
  // The rest of the playback read for its level, then the figures; the problem is a read of the
  // playback that failed (see SoundStream::finish).
  Result<FidelityFigures> finish();

private:
  AudioBuffer played(int64_t frames);

  int64_t lag_;
  std::unique_ptr<SoundStream> playback_;
  int32_t sampleRate_;
  int32_t channels_;
  int64_t leadingSilence_;  // frames of silence still to put before the playback
  int64_t referenceFrames_ = 0;
  SpectraComparison spectra_;
  WaveformComparison waveforms_;
  LevelWatch level_;
};

// Both passes over two streams of one rate and channel count; the problem is a read of the
// playback that failed.
Result<FidelityFigures> compareStreams(const SoundStreamMaker& reference, const SoundStreamMaker& playback,
                                       int32_t sampleRate, int32_t channels);

}  // namespace rendlow::audio
