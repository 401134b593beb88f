#include "audio/fidelity/lag_correlation.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdlib>
#include <span>

namespace rendlow::audio {

namespace {

// A lag whose correlation is within this much of the highest explains the playback as well:
// on a periodic track, a lag of a whole period lines every beat up with the next one and
// correlates about as well as the true lag, sometimes a little better, where the first beat or
// the last is heard in one and not in the other.
constexpr double kEqualFitDb = 1.0;

// The first `count` samples of `samples` (fewer where it ends).
std::span<const float> firstSamples(const std::vector<float>& samples, int64_t count) {
  return {samples.data(), static_cast<std::size_t>(std::min<int64_t>(count, std::ssize(samples)))};
}

bool silent(std::span<const float> samples) {
  return std::all_of(samples.begin(), samples.end(), [](float sample) { return sample == 0; });
}

// The cross-spectrum S·conj(R) of two real signals r and s from the transform z of r + i·s (its
// bins in bit-reversed order), in place: with a = z[k] and b = z[N-k], R = (a + conj b)/2 and
// S = (a - conj b)/2i, whose product is (Re a·Im b + Im a·Re b)/2 + i(|b|² - |a|²)/4, and that
// of bin N-k its conjugate.
void crossSpectrum(SplitComplex& z) {
  forEachMirroredBin(z.real.size(), [&z](std::size_t p, std::size_t m) {
    const double ar = z.real[p], ai = z.imag[p], br = z.real[m], bi = z.imag[m];
    const double real = 0.5 * (ar * bi + ai * br), imag = 0.25 * ((br * br + bi * bi) - (ar * ar + ai * ai));
    z.real[p] = real, z.imag[p] = imag;
    z.real[m] = real, z.imag[m] = -imag;
  });
}

// Adds the correlation of a reference block (the first `block` samples of `reference`) with the
// signal around it (`signal` from maxLag before the block on), lags -maxLag..maxLag, into `sums`
// (index lag + maxLag). The signal's segment is the block widened by maxLag on each side, which
// fills the transform exactly, so no lag wraps around. Both are real, so one transform takes the
// reference as its real part and the signal as its imaginary part; the bins are multiplied in
// the order the transform leaves them and transformed back from it. Where either is silent the
// block adds nothing: it is left out, which keeps the sums of a silent playback exactly zero,
// and its lag zero.
void addBlock(const Fft& fft, const std::vector<float>& reference, const std::vector<float>& signal,
              int64_t block, int64_t maxLag, std::vector<double>& sums) {
  const std::span<const float> ref = firstSamples(reference, block);
  const std::span<const float> sig = firstSamples(signal, block + 2 * maxLag);
  if (silent(ref) || silent(sig)) return;
  SplitComplex pair(fft.size());
  std::copy(ref.begin(), ref.end(), pair.real.begin());
  std::copy(sig.begin(), sig.end(), pair.imag.begin());
  fft.forwardToReversed(pair);
  crossSpectrum(pair);
  fft.inverseFromReversed(pair);
  for (std::size_t s = 0; s < sums.size(); ++s) sums[s] += pair.real[s];
}

// Whether lag index `i` of `sums` is a peak: no neighbour higher.
bool isPeak(const std::vector<double>& sums, std::size_t i) {
  return (i == 0 || sums[i - 1] <= sums[i]) && (i + 1 == sums.size() || sums[i + 1] <= sums[i]);
}

// Of the peaks whose correlation is within kEqualFitDb of the highest, the one nearest zero: the
// smallest lag that explains the playback as well as any, so that a periodic track is never
// said to run a period late. No correlation above zero (a silent playback) is no lag.
int64_t peakLag(const std::vector<double>& sums, int64_t maxLag) {
  const double highest = *std::max_element(sums.begin(), sums.end());
  if (!(highest > 0)) return 0;
  const double enough = highest * std::pow(10.0, -kEqualFitDb / 10);
  int64_t best = maxLag + 1;
  for (int64_t lag = -maxLag; lag <= maxLag; ++lag) {
    const auto i = static_cast<std::size_t>(lag + maxLag);
    if (sums[i] >= enough && isPeak(sums, i) && std::llabs(lag) < std::llabs(best)) best = lag;
  }
  return best;
}

}  // namespace

int64_t bestLag(const std::vector<float>& reference, const std::vector<float>& signal, int64_t maxLag) {
  const Fft transform = lagTransform(maxLag);
  LagCorrelation correlation(maxLag, transform);
  for (const float sample : reference) correlation.addReference(sample);
  for (const float sample : signal) correlation.addSignal(sample);
  return correlation.lag();
}

// The smallest transform that leaves a block besides the lags on either side: several searches
// hold a block and the signal around it at once, and twice the size would halve the transforms
// but double what each search holds.
Fft lagTransform(int64_t maxLag) { return Fft(powerOfTwoAtLeast(static_cast<std::size_t>(2 * maxLag + 1))); }

// The signal before index 0 is silence. The block and the signal around it are reserved once:
// grown sample by sample they would take twice that.
LagCorrelation::LagCorrelation(int64_t maxLag, const Fft& transform)
    : maxLag_(maxLag),
      fft_(&transform),
      block_(static_cast<int64_t>(transform.size()) - 2 * maxLag),
      signal_(static_cast<std::size_t>(maxLag), 0.0f),
      sums_(static_cast<std::size_t>(2 * maxLag + 1), 0.0) {
  assert(block_ > 0);
  // Fed as a search feeds them, side by side, the reference runs maxLag ahead of the signal, and
  // a block is correlated once the signal reaches maxLag past it.
  reference_.reserve(static_cast<std::size_t>(block_ + maxLag_));
  signal_.reserve(fft_->size());
}

void LagCorrelation::addSignal(float sample) {
  signal_.push_back(sample);
  if (std::ssize(reference_) >= block_ && std::ssize(signal_) >= block_ + 2 * maxLag_) correlateBlock();
}

void LagCorrelation::correlateBlock() {
  addBlock(*fft_, reference_, signal_, block_, maxLag_, sums_);
  const auto done = static_cast<std::ptrdiff_t>(std::min<int64_t>(block_, std::ssize(reference_)));
  reference_.erase(reference_.begin(), reference_.begin() + done);
  signal_.erase(signal_.begin(), signal_.begin() + std::min<std::ptrdiff_t>(done, std::ssize(signal_)));
}

int64_t LagCorrelation::lag() {
  while (!reference_.empty()) correlateBlock();
  return peakLag(sums_, maxLag_);
}

}  // namespace rendlow::audio
