#pragma once

#include <complex>
#include <cstddef>
#include <vector>

namespace rendlow::audio {

// A radix-2 fast Fourier transform of one power-of-two size, its twiddle factors and bit
// reversal worked out once for the many transforms of that size an analysis makes.
class Fft {
public:
  explicit Fft(std::size_t size);

  std::size_t size() const { return size_; }
  // In place. The inverse is scaled by 1/size, so forward then inverse gives the input back.
  void forward(std::vector<std::complex<double>>& data) const;
  void inverse(std::vector<std::complex<double>>& data) const;

private:
  void transform(std::vector<std::complex<double>>& data, bool inverse) const;

  std::size_t size_;
  std::vector<std::complex<double>> twiddles_;  // exp(-2πik/size) for k < size/2
  std::vector<std::size_t> reversed_;
};

// The smallest power of two at or above n (1 for 0).
std::size_t powerOfTwoAtLeast(std::size_t n);

}  // namespace rendlow::audio
