#include "audio/fidelity/cross_correlation.h"

#include <complex>
#include <cstdlib>

#include "audio/fidelity/fft.h"

namespace rendlow::audio {

namespace {

using Spectrum = std::vector<std::complex<double>>;

// `count` samples of `samples` from `first` on, zero outside the signal, zero-padded to `size`.
Spectrum segment(const std::vector<float>& samples, int64_t first, int64_t count, std::size_t size) {
  Spectrum out(size);
  for (int64_t i = 0; i < count; ++i) {
    const int64_t at = first + i;
    if (at >= 0 && at < static_cast<int64_t>(samples.size()))
      out[static_cast<std::size_t>(i)] = samples[static_cast<std::size_t>(at)];
  }
  return out;
}

// Adds the correlation of reference block [start, start + block) with the signal around it,
// lags -maxLag..maxLag, into `sums` (index lag + maxLag). The signal's segment is the block
// widened by maxLag on each side, which fills the transform exactly, so no lag wraps around.
void addBlock(const Fft& fft, const std::vector<float>& reference, const std::vector<float>& signal,
              int64_t start, int64_t block, int64_t maxLag, std::vector<double>& sums) {
  Spectrum ref = segment(reference, start, block, fft.size());
  Spectrum sig = segment(signal, start - maxLag, block + 2 * maxLag, fft.size());
  fft.forward(ref);
  fft.forward(sig);
  for (std::size_t k = 0; k < fft.size(); ++k) sig[k] *= std::conj(ref[k]);
  fft.inverse(sig);
  for (std::size_t s = 0; s < sums.size(); ++s) sums[s] += sig[s].real();
}

int64_t peakLag(const std::vector<double>& sums, int64_t maxLag) {
  int64_t best = 0;
  for (int64_t lag = -maxLag; lag <= maxLag; ++lag) {
    const double value = sums[static_cast<std::size_t>(lag + maxLag)];
    const double bestValue = sums[static_cast<std::size_t>(best + maxLag)];
    if (value > bestValue || (value == bestValue && std::llabs(lag) < std::llabs(best))) best = lag;
  }
  return best;
}

}  // namespace

int64_t bestLag(const std::vector<float>& reference, const std::vector<float>& signal, int64_t maxLag) {
  const Fft fft(powerOfTwoAtLeast(static_cast<std::size_t>(4 * maxLag + 1)));
  const int64_t block = static_cast<int64_t>(fft.size()) - 2 * maxLag;
  std::vector<double> sums(static_cast<std::size_t>(2 * maxLag + 1), 0.0);
  for (int64_t start = 0; start < static_cast<int64_t>(reference.size()); start += block) {
    addBlock(fft, reference, signal, start, block, maxLag, sums);
  }
  return peakLag(sums, maxLag);
}

}  // namespace rendlow::audio
