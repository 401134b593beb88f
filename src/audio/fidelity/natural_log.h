#pragma once

#include <bit>
#include <cstdint>

namespace rendlow::audio {

// The natural log of a positive normal float, to within a few units in a float's last place,
// written without a call or a branch so that a loop over the bins of a spectrum takes it several
// bins at a time: std::log is a library call no compiler vectorises, and it was the largest
// single cost of measuring a song. Only for normal numbers: of zero, infinity, NaN or a
// subnormal number it makes a finite number of no meaning.
//
// x = 2^e·m with m in [√½, √2), and log m = 2·atanh(s) = 2(s + s³/3 + s⁵/5 + …) with
// s = (m-1)/(m+1), |s| < 0.172: five terms leave an error below a float's rounding.
inline float naturalLogOfNormal(float x) {
  constexpr uint32_t kMantissa = (uint32_t{1} << 23) - 1;
  constexpr uint32_t kOne = uint32_t{127} << 23;
  constexpr float kSqrt2 = 1.41421356f;
  constexpr float kLn2 = 0.693147181f;
  const uint32_t bits = std::bit_cast<uint32_t>(x);
  float m = std::bit_cast<float>((bits & kMantissa) | kOne);
  float e = static_cast<float>(static_cast<int32_t>(bits >> 23) - 127);
  const bool high = m > kSqrt2;
  m = high ? 0.5f * m : m;
  e = high ? e + 1 : e;
  const float s = (m - 1) / (m + 1), z = s * s;
  const float series = 2.0f / 3 + z * (2.0f / 5 + z * (2.0f / 7 + z * (2.0f / 9)));
  return e * kLn2 + (2 * s + s * z * series);
}

}  // namespace rendlow::audio
