#pragma once

// The lag that lines a playback up with its reference.

#include <cstdint>
#include <vector>

#include "audio/fidelity/fft.h"

namespace rendlow::audio {

// The lag by which `signal` runs late against `reference` (signal[n] ≈ reference[n - lag]):
// of the lags within ±maxLag where their cross-correlation peaks within 1 dB of its highest, the
// one nearest zero. Computed block by block with FFTs, so memory stays bounded by the lag range
// however long the song.
int64_t bestLag(const std::vector<float>& reference, const std::vector<float>& signal, int64_t maxLag);

// The transform a search within ±maxLag correlates with. It holds megabytes of tables for a
// second's lag range, too many to make for each block or to hold for each search: whoever makes
// the searches of one job makes it once and hands it to each.
Fft lagTransform(int64_t maxLag);

// bestLag as the reference and the signal come, sample by sample from index 0 of each: a block
// of the reference is correlated once the signal reaches maxLag past it, and let go with the
// signal before it, so only a block of each is held, however long the window searched.
class LagCorrelation {
public:
  // `transform`, lagTransform(maxLag), outlives the search.
  LagCorrelation(int64_t maxLag, const Fft& transform);
  void addReference(float sample) { reference_.push_back(sample); }
  void addSignal(float sample);
  // The lag over the reference added: the signal past what came is silence.
  int64_t lag();

private:
  void correlateBlock();

  int64_t maxLag_;
  const Fft* fft_;
  int64_t block_;
  std::vector<float> reference_;  // from the block under way on
  std::vector<float> signal_;     // from maxLag_ before that block on
  std::vector<double> sums_;
};

}  // namespace rendlow::audio
