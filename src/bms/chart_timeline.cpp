#include "bms/chart_timeline.h"

#include <algorithm>
#include <cstdlib>

#include "bms/chart_format.h"

namespace rendlow {

namespace {

constexpr int32_t kMeasures = kMaxMeasureNumber + 1;

struct BeatEvent {
  double beat;
  double value;  // the tempo, or the #WAV id of an object
};

// The beat each measure starts on, one past the last measure included.
std::vector<double> measureStarts(const ChartText& chart) {
  std::vector<double> lengths(kMeasures, 1.0);
  for (const ChannelLine& line : chart.lines) {
    if (line.channel != kChannelMeasureLength) continue;
    if (const double length = std::strtod(line.data.c_str(), nullptr); length > 0)
      lengths[line.measure] = length;
  }
  std::vector<double> starts(kMeasures + 1, 0.0);
  for (int32_t m = 0; m < kMeasures; ++m) starts[m + 1] = starts[m] + 4 * lengths[m];
  return starts;
}

// Each non-empty two-character slot of a line, at its beat, with the value `valueOf` gives
// (or none when it gives a non-positive value).
template <class ValueOf>
void addSlots(const ChannelLine& line, const std::vector<double>& starts, ValueOf valueOf,
              std::vector<BeatEvent>& out) {
  const std::size_t slots = line.data.size() / 2;
  const double measureBeats = starts[line.measure + 1] - starts[line.measure];
  for (std::size_t i = 0; i < slots; ++i) {
    const double value = valueOf(std::string_view(line.data).substr(2 * i, 2));
    if (value > 0)
      out.push_back({starts[line.measure] + measureBeats * static_cast<double>(i) / slots, value});
  }
}

double hexTempo(std::string_view slot) {
  char* end = nullptr;
  const std::string text(slot);
  const long value = std::strtol(text.c_str(), &end, 16);
  return *end == '\0' ? static_cast<double>(value) : 0;
}

std::vector<BeatEvent> slotsOf(const ChartText& chart, int channel, const std::vector<double>& starts,
                               auto valueOf) {
  std::vector<BeatEvent> events;
  for (const ChannelLine& line : chart.lines) {
    if (line.channel == channel) addSlots(line, starts, valueOf, events);
  }
  return events;
}

// Channel 03 first, then 08, sorted stably: at one beat the later applies, so 08 wins.
std::vector<BeatEvent> tempoChanges(const ChartText& chart, const std::vector<double>& starts) {
  std::vector<BeatEvent> changes = slotsOf(chart, kChannelHexTempo, starts, hexTempo);
  const std::vector<BeatEvent> byId = slotsOf(chart, kChannelTempo, starts, [&](std::string_view slot) {
    auto bpm = chart.bpmById.find(base36Id(slot));
    return bpm == chart.bpmById.end() ? 0.0 : bpm->second;
  });
  changes.insert(changes.end(), byId.begin(), byId.end());
  std::stable_sort(changes.begin(), changes.end(),
                   [](const BeatEvent& a, const BeatEvent& b) { return a.beat < b.beat; });
  return changes;
}

// Walks the objects in beat order alongside the tempo changes, adding up seconds.
std::vector<TimedObject> timedObjects(std::vector<BeatEvent> objects, const std::vector<BeatEvent>& changes,
                                      double bpm) {
  std::stable_sort(objects.begin(), objects.end(),
                   [](const BeatEvent& a, const BeatEvent& b) { return a.beat < b.beat; });
  std::vector<TimedObject> timed;
  double beat = 0;
  double seconds = 0;
  std::size_t next = 0;
  for (const BeatEvent& object : objects) {
    for (; next < changes.size() && changes[next].beat <= object.beat; ++next) {
      seconds += (changes[next].beat - beat) * 60 / bpm;
      beat = changes[next].beat;
      bpm = changes[next].value;
    }
    timed.push_back({seconds + (object.beat - beat) * 60 / bpm, static_cast<int32_t>(object.value)});
  }
  return timed;
}

}  // namespace

ChartTimeline timelineOf(const ChartText& chart) {
  const std::vector<double> starts = measureStarts(chart);
  const std::vector<BeatEvent> objects =
      slotsOf(chart, kChannelBackground, starts,
              [](std::string_view slot) { return static_cast<double>(base36Id(slot)); });
  return {chart.wavById, timedObjects(objects, tempoChanges(chart, starts), chart.bpm)};
}

}  // namespace rendlow
