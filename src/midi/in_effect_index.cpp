#include "midi/in_effect_index.h"

#include <algorithm>

namespace rendlow {

void InEffectIndex::append(int32_t tick) {
  runningMax_.push_back(runningMax_.empty() ? tick : std::max(runningMax_.back(), tick));
}

std::optional<std::size_t> InEffectIndex::find(int32_t tick) const {
  if (runningMax_.empty()) return std::nullopt;
  const auto stop = std::upper_bound(runningMax_.begin(), runningMax_.end(), tick);
  // Stopping at the first entry still returns the first entry.
  if (stop == runningMax_.begin()) return 0;
  return static_cast<std::size_t>(stop - runningMax_.begin()) - 1;
}

}  // namespace rendlow
