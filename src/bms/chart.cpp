#include "bms/chart.h"

#include <algorithm>

namespace rendlow {

std::vector<const BMSBPM*> laterTempoChanges(const Chart& chart) {
  // Tempo changes are collected track by track; a player needs them in time order.
  std::vector<const BMSBPM*> sorted;
  sorted.reserve(chart.chartBpms.size());
  for (const BMSBPM& bpm : chart.chartBpms) sorted.push_back(&bpm);
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const BMSBPM* a, const BMSBPM* b) { return a->tick < b->tick; });
  if (!sorted.empty()) sorted.erase(sorted.begin());
  return sorted;
}

}  // namespace rendlow
