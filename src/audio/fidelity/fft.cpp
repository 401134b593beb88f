#include "audio/fidelity/fft.h"

#include <cassert>
#include <cmath>
#include <numbers>
#include <utility>

namespace rendlow::audio {

namespace {

std::vector<std::size_t> bitReversal(std::size_t size) {
  std::vector<std::size_t> reversed(size, 0);
  for (std::size_t i = 1; i < size; ++i) reversed[i] = (reversed[i >> 1] >> 1) | ((i & 1) ? size >> 1 : 0);
  return reversed;
}

}  // namespace

Fft::Fft(std::size_t size) : size_(size), reversed_(bitReversal(size)) {
  assert(size > 0 && (size & (size - 1)) == 0);
  for (std::size_t k = 0; k < size / 2; ++k) {
    twiddles_.push_back(
        std::polar(1.0, -2 * std::numbers::pi * static_cast<double>(k) / static_cast<double>(size)));
  }
}

void Fft::forward(std::vector<std::complex<double>>& data) const { transform(data, false); }

void Fft::inverse(std::vector<std::complex<double>>& data) const {
  transform(data, true);
  const double scale = 1.0 / static_cast<double>(size_);
  for (std::complex<double>& value : data) value *= scale;
}

void Fft::transform(std::vector<std::complex<double>>& data, bool inverse) const {
  assert(data.size() == size_);
  for (std::size_t i = 0; i < size_; ++i) {
    if (i < reversed_[i]) std::swap(data[i], data[reversed_[i]]);
  }
  for (std::size_t length = 2; length <= size_; length <<= 1) {
    const std::size_t half = length / 2;
    const std::size_t stride = size_ / length;
    for (std::size_t start = 0; start < size_; start += length) {
      for (std::size_t k = 0; k < half; ++k) {
        const std::complex<double> twiddle =
            inverse ? std::conj(twiddles_[k * stride]) : twiddles_[k * stride];
        const std::complex<double> odd = data[start + k + half] * twiddle;
        data[start + k + half] = data[start + k] - odd;
        data[start + k] += odd;
      }
    }
  }
}

std::size_t powerOfTwoAtLeast(std::size_t n) {
  std::size_t power = 1;
  while (power < n) power <<= 1;
  return power;
}

}  // namespace rendlow::audio
