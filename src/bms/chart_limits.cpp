#include "bms/chart_limits.h"

#include <algorithm>

#include "bms/chart_lines.h"

namespace rendlow {

namespace {

struct ChartNeeds {
  int64_t largestWavId = 0;
  int64_t largestBpmId = 0;
  int64_t lastMeasure = 0;       // the closing block after the last measure holding a sound
  bool pastLongestGrid = false;  // a sound lies beyond every measure the grid would build
};

ChartNeeds needsOf(const Project& project) {
  ChartNeeds needs;
  int64_t lastNoteMeasure = -1;
  for (const auto& track : project.chartTracks) {
    if (track->notes.empty()) continue;
    needs.largestWavId = std::max(needs.largestWavId, int64_t{track->firstWav} + track->maxDefinition);
    for (const auto& note : track->notes) {
      needs.largestWavId = std::max<int64_t>(needs.largestWavId, note->wav);
      lastNoteMeasure = std::max<int64_t>(lastNoteMeasure, note->measureIndex);
      if (note->position < 0) needs.pastLongestGrid = true;
    }
  }
  // Every tempo change after the first gets a "#BPMxx" definition named by its index.
  needs.largestBpmId = project.tempos.empty() ? 0 : static_cast<int64_t>(project.tempos.size()) - 1;
  needs.lastMeasure = lastNoteMeasure + 1;
  return needs;
}

std::string wavIdBreach(int64_t largest) {
  return "The chart needs #WAV ids up to " + std::to_string(largest) + ", " +
         std::to_string(largest - kMaxChartId) +
         " more than the largest id the format allows (ZZ = 1295). More notes share one sound, and so "
         "one id, with larger velocity and controller split widths (Vel分割幅, CC分割幅), with BPM無視 "
         "(ignoreBpm) on, and with a smaller 多重閾値 (multipleThreshold); a smaller #WAV定義間隔 "
         "(wavDefinitionGap) leaves fewer unused ids between tracks.";
}

std::string bpmIdBreach(int64_t largest) {
  return "The chart needs #BPM ids up to " + std::to_string(largest) + ", " +
         std::to_string(largest - kMaxChartId) +
         " more than the largest id the format allows (ZZ = 1295): the song has more tempo changes than "
         "one chart can define.";
}

std::string measureBreach(int64_t last, bool atLeast) {
  return "The chart needs measure numbers up to " + std::string(atLeast ? "at least " : "") +
         std::to_string(last) + ", " + std::string(atLeast ? "at least " : "") +
         std::to_string(last - kMaxMeasureNumber) +
         " more than the format allows (999). Sharing sounds does not shorten a chart; only a shorter song, "
         "or the song split into parts, fits.";
}

}  // namespace

std::optional<std::string> chartLimitBreach(const Project& project) {
  const ChartNeeds needs = needsOf(project);
  std::string message;
  const auto add = [&message](const std::string& breach) {
    if (!message.empty()) message += ' ';
    message += breach;
  };
  if (needs.largestWavId > kMaxChartId) add(wavIdBreach(needs.largestWavId));
  if (needs.largestBpmId > kMaxChartId) add(bpmIdBreach(needs.largestBpmId));
  if (needs.lastMeasure > kMaxMeasureNumber) add(measureBreach(needs.lastMeasure, needs.pastLongestGrid));
  if (message.empty()) return std::nullopt;
  return message;
}

}  // namespace rendlow
