#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

namespace rendlow {

// Tick sums and differences are worked out in 64 bits and stored back into the model's 32-bit
// fields clamped, so that no tick a damaged file or an extreme setting brings can overflow.
inline int32_t clampToInt32(int64_t value) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

}  // namespace rendlow
