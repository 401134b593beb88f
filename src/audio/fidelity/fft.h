#pragma once

#include <complex>
#include <cstddef>
#include <vector>

namespace rendlow::audio {

// Complex values held as two arrays, the real parts and the imaginary parts, so that a
// transform's butterflies run over contiguous numbers the compiler can vectorise.
template <typename Real>
struct BasicSplitComplex {
  explicit BasicSplitComplex(std::size_t size = 0) : real(size), imag(size) {}
  std::vector<Real> real;
  std::vector<Real> imag;
};

// A fast Fourier transform of one power-of-two size, radix 4 (with one radix-2 stage when the
// size is an odd power of two), its twiddle factors and bit reversal worked out once for the
// many transforms of that size an analysis makes. In doubles, or in floats where the precision
// of a float's 24 bits is plenty and twice the numbers a vector holds is worth having.
template <typename Real>
class BasicFft {
public:
  using SplitComplex = BasicSplitComplex<Real>;

  explicit BasicFft(std::size_t size);

  std::size_t size() const { return size_; }
  // In place. The inverse is scaled by 1/size, so forward then inverse gives the input back.
  void forward(SplitComplex& data) const;
  void inverse(SplitComplex& data) const;
  void forward(std::vector<std::complex<Real>>& data) const;
  void inverse(std::vector<std::complex<Real>>& data) const;

  // The same with the spectrum in bit-reversed order: bin k at the position whose binary digits
  // are k's reversed. Bit reversal is a pass of scattered reads and writes, the costliest of all
  // in a large transform; a caller that takes the bins in any order, or only multiplies them
  // before transforming back, need not pay for it (see forEachMirroredBin).
  void forwardToReversed(SplitComplex& data) const;
  void inverseFromReversed(SplitComplex& data) const;

private:
  void reverseOrder(Real* real, Real* imag) const;
  void timeStages(Real* real, Real* imag) const;
  void frequencyStages(Real* real, Real* imag) const;
  void scaleDown(SplitComplex& data) const;

  std::size_t size_;
  std::vector<std::size_t> swaps_;  // pairs of indices that bit reversal exchanges
  // For each radix-4 stage from the shortest on, of a quarter q: the cosines and sines of w^k,
  // w^2k and w^3k for k < q, w = exp(-2πi/4q), as six arrays of q.
  std::vector<Real> twiddles_;
};

using SplitComplex = BasicSplitComplex<double>;
using Fft = BasicFft<double>;

// For a spectrum of `size` bins in bit-reversed order, calls visit(p, m) once for each bin k from
// 0 to size/2, with p the position of bin k or of bin size - k and m that of the other (p itself
// for bins 0 and size/2): the bins a real signal's spectrum mirrors. The bins of each power of
// two between h and 2h, reversed, fill the positions h to 2h, where k and size - k lie mirrored.
template <typename Visit>
void forEachMirroredBin(std::size_t size, Visit visit) {
  visit(0, 0);
  if (size > 1) visit(1, 1);
  for (std::size_t h = 2; h < size; h *= 2) {
    for (std::size_t p = h; p < h + h / 2; ++p) visit(p, 3 * h - 1 - p);
  }
}

// The smallest power of two at or above n (1 for 0).
std::size_t powerOfTwoAtLeast(std::size_t n);

}  // namespace rendlow::audio
