#pragma once

#include <complex>
#include <cstddef>
#include <vector>

namespace rendlow::audio {

// Complex values held as two arrays, the real parts and the imaginary parts, so that a
// transform's butterflies run over contiguous doubles the compiler can vectorise.
struct SplitComplex {
  explicit SplitComplex(std::size_t size = 0) : real(size), imag(size) {}
  std::vector<double> real;
  std::vector<double> imag;
};

// A fast Fourier transform of one power-of-two size, radix 4 (with one radix-2 stage first when
// the size is an odd power of two), its twiddle factors and bit reversal worked out once for the
// many transforms of that size an analysis makes.
class Fft {
public:
  explicit Fft(std::size_t size);

  std::size_t size() const { return size_; }
  // In place. The inverse is scaled by 1/size, so forward then inverse gives the input back.
  void forward(SplitComplex& data) const;
  void inverse(SplitComplex& data) const;
  void forward(std::vector<std::complex<double>>& data) const;
  void inverse(std::vector<std::complex<double>>& data) const;

  // Where forwardFromReversed wants input point i: the transform works on its input in
  // bit-reversed order, and a caller that fills the data point by point anyway can store each
  // point there and spare the transform its reordering pass.
  std::size_t reversedIndex(std::size_t i) const { return reversed_[i]; }
  void forwardFromReversed(SplitComplex& data) const;

private:
  void transform(double* real, double* imag) const;
  void stages(double* real, double* imag) const;

  std::size_t size_;
  std::vector<std::size_t> reversed_;
  std::vector<std::size_t> swaps_;  // pairs of indices that bit reversal exchanges
  // For each radix-4 stage in turn, of a quarter q: the cosines and sines of w^k, w^2k and w^3k
  // for k < q, w = exp(-2πi/4q), as six arrays of q.
  std::vector<double> twiddles_;
};

// The smallest power of two at or above n (1 for 0).
std::size_t powerOfTwoAtLeast(std::size_t n);

}  // namespace rendlow::audio
