// The transform against the definition of the discrete Fourier transform, in both orders it
// leaves its bins, and the bins a real signal mirrors, at sizes that are odd and even powers of
// two, up to the spectral frame's.

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <set>
#include <utility>

#include "audio/fidelity/fft.h"
#include "audio_test.h"

namespace rendlow::audio {
namespace {

std::size_t bitsReversed(std::size_t index, std::size_t size) {
  std::size_t reversed = 0;
  for (std::size_t bit = 1; bit < size; bit <<= 1, index >>= 1) reversed = (reversed << 1) | (index & 1);
  return reversed;
}

std::vector<std::complex<double>> directTransform(const SplitComplex& input) {
  const std::size_t size = input.real.size();
  std::vector<std::complex<double>> bins(size);
  for (std::size_t k = 0; k < size; ++k) {
    for (std::size_t n = 0; n < size; ++n) {
      const double turn = -2 * std::numbers::pi * static_cast<double>(k * n % size) / static_cast<double>(size);
      bins[k] += std::complex<double>(input.real[n], input.imag[n]) * std::polar(1.0, turn);
    }
  }
  return bins;
}

template <typename Real>
double largestError(const BasicSplitComplex<Real>& got, const std::vector<std::complex<double>>& wanted,
                    bool reversed) {
  double largest = 0;
  for (std::size_t k = 0; k < wanted.size(); ++k) {
    const std::size_t at = reversed ? bitsReversed(k, wanted.size()) : k;
    largest = std::max(largest, std::abs(std::complex<double>(got.real[at], got.imag[at]) - wanted[k]));
  }
  return largest;
}

TEST(Fft, BothOrdersAndFloatsAgreeWithTheDefinitionAndInvert) {
  for (std::size_t size : {1u, 2u, 4u, 8u, 32u, 512u, 2048u}) {
    SCOPED_TRACE(size);
    const std::vector<float> noise = test::noise(2 * size, 11);
    SplitComplex input(size);
    for (std::size_t i = 0; i < size; ++i) input.real[i] = noise[2 * i], input.imag[i] = noise[2 * i + 1];
    const std::vector<std::complex<double>> wanted = directTransform(input);
    const double tolerance = 1e-14 * static_cast<double>(size) + 1e-15;

    SplitComplex inOrder = input, reversed = input;
    Fft(size).forward(inOrder);
    Fft(size).forwardToReversed(reversed);
    EXPECT_LT(largestError(inOrder, wanted, false), tolerance);
    EXPECT_LT(largestError(reversed, wanted, true), tolerance);
    // The spectra's transform, in floats: the same within a float's rounding (bins of noise of n
    // points are near √n, and the rounding grows as the bins do).
    BasicSplitComplex<float> inFloats(size);
    for (std::size_t i = 0; i < size; ++i)
      inFloats.real[i] = noise[2 * i], inFloats.imag[i] = noise[2 * i + 1];
    BasicFft<float>(size).forwardToReversed(inFloats);
    EXPECT_LT(largestError(inFloats, wanted, true), 2e-6 * std::sqrt(static_cast<double>(size)));

    Fft(size).inverse(inOrder);
    Fft(size).inverseFromReversed(reversed);
    for (const SplitComplex* back : {&inOrder, &reversed}) {
      for (std::size_t n = 0; n < size; ++n) {
        EXPECT_NEAR(back->real[n], input.real[n], 1e-14) << n;
        EXPECT_NEAR(back->imag[n], input.imag[n], 1e-14) << n;
      }
    }

    std::set<std::size_t> bins;
    forEachMirroredBin(size, [&](std::size_t p, std::size_t m) {
      const std::size_t k = bitsReversed(p, size);
      EXPECT_TRUE(bins.insert(std::min(k, size - k)).second) << "bin " << k << " twice";
      EXPECT_EQ(bitsReversed(m, size), (size - k) % size) << "the mirror of bin " << k;
    });
    EXPECT_EQ(bins.size(), size / 2 + 1);
  }
}

}  // namespace
}  // namespace rendlow::audio
