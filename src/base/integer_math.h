#pragma once

// Sums and differences of ticks and ids are worked out in 64 bits and stored back into the
// model's 32-bit fields only through these, so that no value a damaged file or an extreme
// setting brings can overflow.

#include <algorithm>
#include <cstdint>
#include <limits>

namespace rendlow {

inline bool fitsInt32(int64_t value) {
  return value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max();
}

inline int32_t clampToInt32(int64_t value) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// The smallest multiple of `unit` (above 0) at or above `value`: integer division truncates
// toward zero, which is already the ceiling for a negative value.
inline int64_t roundUpTo(int64_t value, int64_t unit) {
  int64_t multiples = value / unit;
  if (value % unit > 0) ++multiples;
  return multiples * unit;
}

}  // namespace rendlow
