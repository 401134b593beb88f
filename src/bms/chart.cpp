#include "bms/chart.h"

#include <algorithm>

namespace rendlow {

std::vector<const ChartTempo*> laterTempoChanges(const Chart& chart) {
  // Tempo changes are collected track by track; a player needs them in time order.
  std::vector<const ChartTempo*> sorted;
  sorted.reserve(chart.tempos.size());
  for (const ChartTempo& bpm : chart.tempos) sorted.push_back(&bpm);
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const ChartTempo* a, const ChartTempo* b) { return a->tick < b->tick; });
  if (!sorted.empty()) sorted.erase(sorted.begin());
  return sorted;
}

}  // namespace rendlow
