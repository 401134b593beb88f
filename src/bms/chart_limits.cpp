#include "bms/chart_limits.h"

#include <algorithm>
#include <vector>

#include "base/messages.h"
#include "bms/chart_lines.h"
#include "bms/measure_grid.h"

namespace rendlow {

int64_t largestWavId(const Chart& chart) {
  int64_t largest = 0;
  for (const ChartTrack& track : chart.tracks) {
    if (track.notes.empty()) continue;
    largest = std::max(largest, int64_t{track.firstWav} + track.maxDefinition);
    for (const ChartNote& note : track.notes) largest = std::max<int64_t>(largest, note.wav);
  }
  return largest;
}

namespace {

struct ChartNeeds {
  int64_t largestWavId = 0;
  int64_t largestBpmId = 0;
  int64_t lastMeasure = 0;       // the closing block after the last measure holding a sound
  bool pastLongestGrid = false;  // a sound lies beyond every measure the grid would build
};

ChartNeeds needsOf(const Song& song, const Chart& chart) {
  ChartNeeds needs;
  needs.largestWavId = largestWavId(chart);
  int64_t lastNoteMeasure = -1;
  for (const ChartTrack& track : chart.tracks) {
    for (const ChartNote& note : track.notes) {
      lastNoteMeasure = std::max<int64_t>(lastNoteMeasure, note.measureIndex);
      if (note.measureIndex >= static_cast<int32_t>(kMaxMeasures)) needs.pastLongestGrid = true;
    }
  }
  // Every tempo change after the first gets a "#BPMxx" definition named by its index.
  needs.largestBpmId = song.tempos.empty() ? 0 : static_cast<int64_t>(song.tempos.size()) - 1;
  needs.lastMeasure = lastNoteMeasure + 1;
  return needs;
}

}  // namespace

Result<void> checkChartLimits(const Song& song, const Chart& chart) {
  return checkChartLimits(song, chart, wavIdBreach(largestWavId(chart), kMaxChartId));
}

Result<void> checkChartLimits(const Song& song, const Chart& chart, const Message& wavIdReason) {
  const ChartNeeds needs = needsOf(song, chart);
  std::vector<Message> breaches;
  if (needs.largestWavId > kMaxChartId) breaches.push_back(wavIdReason);
  if (needs.largestBpmId > kMaxChartId) breaches.push_back(bpmIdBreach(needs.largestBpmId, kMaxChartId));
  if (needs.lastMeasure > kMaxMeasureNumber)
    breaches.push_back(measureBreach(needs.lastMeasure, kMaxMeasureNumber, needs.pastLongestGrid));
  if (breaches.empty()) return {};
  Message all = breaches.front();
  for (std::size_t i = 1; i < breaches.size(); ++i) all = linesOf(all, breaches[i]);
  return Problem{all};
}

}  // namespace rendlow
