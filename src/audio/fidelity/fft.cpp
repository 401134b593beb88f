#include "audio/fidelity/fft.h"

#include <cassert>
#include <cmath>
#include <numbers>
#include <utility>

namespace rendlow::audio {

namespace {

// Each pair of indices that bit reversal exchanges once, so that reordering in place is a run of
// swaps without a test.
std::vector<std::size_t> bitReversalSwaps(std::size_t size) {
  std::vector<std::size_t> reversed(size, 0);
  std::vector<std::size_t> swaps;
  for (std::size_t i = 1; i < size; ++i) {
    reversed[i] = (reversed[i >> 1] >> 1) | ((i & 1) ? size >> 1 : 0);
    if (i < reversed[i]) swaps.insert(swaps.end(), {i, reversed[i]});
  }
  return swaps;
}

bool oddPowerOfTwo(std::size_t size) {
  bool odd = false;
  for (; size > 1; size >>= 1) odd = !odd;
  return odd;
}

// The quarter of the first radix-4 stage: after the radix-2 stage, when there is one.
std::size_t firstQuarter(std::size_t size) { return oddPowerOfTwo(size) ? 2 : 1; }

// cos(2πj/size) for any j, from a table of the first quarter turn: the many sines and cosines
// of a large transform cost one library call for every four of its points.
class Cosines {
public:
  explicit Cosines(std::size_t size) : size_(size), quarter_(size / 4 + 1) {
    for (std::size_t j = 0; j < quarter_.size(); ++j)
      quarter_[j] = std::cos(2 * std::numbers::pi * static_cast<double>(j) / static_cast<double>(size));
  }
  // j below twice the size.
  double cos(std::size_t j) const {
    if (j >= size_) j -= size_;
    if (2 * j > size_) j = size_ - j;  // cos(2π - x) = cos x
    return 4 * j <= size_ ? quarter_[j] : -quarter_[size_ / 2 - j];  // cos(π - x) = -cos x
  }
  double sin(std::size_t j) const { return cos(j + 3 * size_ / 4); }  // sin x = cos(x - π/2)

private:
  std::size_t size_;
  std::vector<double> quarter_;
};

template <typename Real>
std::vector<Real> stageTwiddles(std::size_t size) {
  std::vector<Real> twiddles;
  const Cosines turn(size);
  for (std::size_t quarter = firstQuarter(size); quarter < size; quarter *= 4) {
    const std::size_t step = size / (4 * quarter);  // w = exp(-2πi·step/size)
    for (std::size_t power = 1; power <= 3; ++power) {
      for (std::size_t k = 0; k < quarter; ++k)
        twiddles.push_back(static_cast<Real>(turn.cos(power * k * step)));
      for (std::size_t k = 0; k < quarter; ++k)
        twiddles.push_back(static_cast<Real>(-turn.sin(power * k * step)));
    }
  }
  return twiddles;
}

// Pairs of points combined into transforms of two.
template <typename Real>
void radix2Stage(Real* real, Real* imag, std::size_t size) {
  for (std::size_t i = 0; i < size; i += 2) {
    const Real r = real[i + 1], m = imag[i + 1];
    real[i + 1] = real[i] - r;
    imag[i + 1] = imag[i] - m;
    real[i] += r;
    imag[i] += m;
  }
}

// Decimation in time, one column of four transforms of q: the points k, k+q, k+2q and k+3q of a
// run of 4q, which holds the transforms of the samples 0, 2, 1 and 3 modulo 4 of the transform
// of 4q they make. Every array is its own (hence restrict, for the compiler to vectorise the
// loop), and the complex products are written out on reals: std::complex's would check each
// for NaN.
template <typename Real>
void timeButterflies(std::size_t q, Real* __restrict r0, Real* __restrict i0, Real* __restrict r2,
                     Real* __restrict i2, Real* __restrict r1, Real* __restrict i1, Real* __restrict r3,
                     Real* __restrict i3, const Real* __restrict twiddles) {
  const Real *c1 = twiddles, *s1 = c1 + q, *c2 = s1 + q, *s2 = c2 + q, *c3 = s2 + q, *s3 = c3 + q;
  for (std::size_t k = 0; k < q; ++k) {
    const Real t1r = r1[k] * c1[k] - i1[k] * s1[k], t1i = r1[k] * s1[k] + i1[k] * c1[k];
    const Real t2r = r2[k] * c2[k] - i2[k] * s2[k], t2i = r2[k] * s2[k] + i2[k] * c2[k];
    const Real t3r = r3[k] * c3[k] - i3[k] * s3[k], t3i = r3[k] * s3[k] + i3[k] * c3[k];
    const Real sumR = r0[k] + t2r, sumI = i0[k] + t2i, diffR = r0[k] - t2r, diffI = i0[k] - t2i;
    const Real oddSumR = t1r + t3r, oddSumI = t1i + t3i, oddDiffR = t1r - t3r, oddDiffI = t1i - t3i;
    // Output k, k+q, k+2q, k+3q; the odd difference turned by -i, then by +i.
    r0[k] = sumR + oddSumR, i0[k] = sumI + oddSumI;
    r2[k] = diffR + oddDiffI, i2[k] = diffI - oddDiffR;
    r1[k] = sumR - oddSumR, i1[k] = sumI - oddSumI;
    r3[k] = diffR - oddDiffI, i3[k] = diffI + oddDiffR;
  }
}

// Decimation in frequency, the same turned around: a run of 4q points in order becomes the
// four sequences of q whose transforms are the bins 0, 2, 1 and 3 modulo 4 of the run's.
template <typename Real>
void frequencyButterflies(std::size_t q, Real* __restrict r0, Real* __restrict i0, Real* __restrict r1,
                          Real* __restrict i1, Real* __restrict r2, Real* __restrict i2, Real* __restrict r3,
                          Real* __restrict i3, const Real* __restrict twiddles) {
  const Real *c1 = twiddles, *s1 = c1 + q, *c2 = s1 + q, *s2 = c2 + q, *c3 = s2 + q, *s3 = c3 + q;
  for (std::size_t k = 0; k < q; ++k) {
    const Real sumR = r0[k] + r2[k], sumI = i0[k] + i2[k], diffR = r0[k] - r2[k], diffI = i0[k] - i2[k];
    const Real oddSumR = r1[k] + r3[k], oddSumI = i1[k] + i3[k], oddDiffR = r1[k] - r3[k], oddDiffI = i1[k] - i3[k];
    // Bins 2, 1 and 3 modulo 4 before their twiddles: the odd difference turned by -i, then by +i.
    const Real e2r = sumR - oddSumR, e2i = sumI - oddSumI;
    const Real e1r = diffR + oddDiffI, e1i = diffI - oddDiffR;
    const Real e3r = diffR - oddDiffI, e3i = diffI + oddDiffR;
    r0[k] = sumR + oddSumR, i0[k] = sumI + oddSumI;
    r1[k] = e2r * c2[k] - e2i * s2[k], i1[k] = e2r * s2[k] + e2i * c2[k];
    r2[k] = e1r * c1[k] - e1i * s1[k], i2[k] = e1r * s1[k] + e1i * c1[k];
    r3[k] = e3r * c3[k] - e3i * s3[k], i3[k] = e3r * s3[k] + e3i * c3[k];
  }
}

// A radix-4 stage of quarter q over the whole transform, run after run of 4q points.
template <auto butterflies, typename Real>
void radix4Stage(Real* real, Real* imag, std::size_t size, std::size_t q, const Real* twiddles) {
  for (std::size_t start = 0; start < size; start += 4 * q) {
    Real* r = real + start;
    Real* i = imag + start;
    butterflies(q, r, i, r + q, i + q, r + 2 * q, i + 2 * q, r + 3 * q, i + 3 * q, twiddles);
  }
}

}  // namespace

template <typename Real>
BasicFft<Real>::BasicFft(std::size_t size)
    : size_(size), swaps_(bitReversalSwaps(size)), twiddles_(stageTwiddles<Real>(size)) {
  assert(size > 0 && (size & (size - 1)) == 0);
}

template <typename Real>
void BasicFft<Real>::forward(SplitComplex& data) const {
  assert(data.real.size() == size_ && data.imag.size() == size_);
  reverseOrder(data.real.data(), data.imag.data());
  timeStages(data.real.data(), data.imag.data());
}

// The inverse is the forward transform with real and imaginary parts exchanged on the way in
// and out: conj(F(conj x)) written without a conjugation.
template <typename Real>
void BasicFft<Real>::inverse(SplitComplex& data) const {
  assert(data.real.size() == size_ && data.imag.size() == size_);
  reverseOrder(data.imag.data(), data.real.data());
  timeStages(data.imag.data(), data.real.data());
  scaleDown(data);
}

template <typename Real>
void BasicFft<Real>::forwardToReversed(SplitComplex& data) const {
  assert(data.real.size() == size_ && data.imag.size() == size_);
  frequencyStages(data.real.data(), data.imag.data());
}

template <typename Real>
void BasicFft<Real>::inverseFromReversed(SplitComplex& data) const {
  assert(data.real.size() == size_ && data.imag.size() == size_);
  timeStages(data.imag.data(), data.real.data());
  scaleDown(data);
}

template <typename Real>
void BasicFft<Real>::forward(std::vector<std::complex<Real>>& data) const {
  SplitComplex split(size_);
  for (std::size_t i = 0; i < size_; ++i) split.real[i] = data[i].real(), split.imag[i] = data[i].imag();
  forward(split);
  for (std::size_t i = 0; i < size_; ++i) data[i] = {split.real[i], split.imag[i]};
}

template <typename Real>
void BasicFft<Real>::inverse(std::vector<std::complex<Real>>& data) const {
  SplitComplex split(size_);
  for (std::size_t i = 0; i < size_; ++i) split.real[i] = data[i].real(), split.imag[i] = data[i].imag();
  inverse(split);
  for (std::size_t i = 0; i < size_; ++i) data[i] = {split.real[i], split.imag[i]};
}

template <typename Real>
void BasicFft<Real>::reverseOrder(Real* real, Real* imag) const {
  for (std::size_t s = 0; s < swaps_.size(); s += 2) {
    std::swap(real[swaps_[s]], real[swaps_[s + 1]]);
    std::swap(imag[swaps_[s]], imag[swaps_[s + 1]]);
  }
}

// Decimation in time: from the input in bit-reversed order to the bins in order, transforms four
// times longer at each radix-4 stage.
template <typename Real>
void BasicFft<Real>::timeStages(Real* real, Real* imag) const {
  if (oddPowerOfTwo(size_)) radix2Stage(real, imag, size_);
  const Real* twiddles = twiddles_.data();
  for (std::size_t quarter = firstQuarter(size_); quarter < size_; quarter *= 4) {
    radix4Stage<timeButterflies<Real>>(real, imag, size_, quarter, twiddles);
    twiddles += 6 * quarter;
  }
}

// Decimation in frequency: from the input in order to the bins in bit-reversed order, the same
// stages longest first.
template <typename Real>
void BasicFft<Real>::frequencyStages(Real* real, Real* imag) const {
  const Real* twiddles = twiddles_.data() + twiddles_.size();
  for (std::size_t quarter = size_ / 4; quarter >= firstQuarter(size_); quarter /= 4) {
    twiddles -= 6 * quarter;
    radix4Stage<frequencyButterflies<Real>>(real, imag, size_, quarter, twiddles);
  }
  if (oddPowerOfTwo(size_)) radix2Stage(real, imag, size_);
}

template <typename Real>
void BasicFft<Real>::scaleDown(SplitComplex& data) const {
  const Real scale = Real{1} / static_cast<Real>(size_);
  for (std::size_t i = 0; i < size_; ++i) {
    data.real[i] *= scale;
    data.imag[i] *= scale;
  }
}

template class BasicFft<float>;
template class BasicFft<double>;

std::size_t powerOfTwoAtLeast(std::size_t n) {
  std::size_t power = 1;
  while (power < n) power <<= 1;
  return power;
}

}  // namespace rendlow::audio
