#include "bms/chart.h"

#include <algorithm>
#include <cctype>

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

std::optional<std::string_view> soundFileDefinitionName(std::string_view fileName) {
  const std::size_t dot = fileName.rfind('.');
  if (dot == std::string_view::npos) return std::nullopt;
  std::string extension(fileName.substr(dot));
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (extension != ".wav" && extension != ".ogg") return std::nullopt;
  const std::string_view stem = fileName.substr(0, dot);
  const std::size_t underscore = stem.rfind('_');
  if (underscore == std::string_view::npos || underscore + 1 == stem.size()) return std::nullopt;
  const std::string_view number = stem.substr(underscore + 1);
  if (!std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; })) return std::nullopt;
  return stem.substr(0, underscore);
}

}  // namespace rendlow
