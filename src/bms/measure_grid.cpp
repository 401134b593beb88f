#include "bms/measure_grid.h"

#include <algorithm>
#include <limits>
#include <numeric>

namespace rendlow {

namespace {

// A measure of up to this many ticks (every 4/4 measure at 960 ticks per quarter or fewer) places
// every tick exactly; a line then holds at most this many slots, 7,687 bytes, which players read.
constexpr int32_t kFinestResolution = 3840;

// beatAt for ticks that only grow. The read-order scan stops at the first time signature that
// lies later than the tick; that stop can only move forward as the tick grows, so a walk over
// the measures costs one pass over the time signatures instead of one scan per measure.
class BeatWalk {
public:
  explicit BeatWalk(const std::vector<Beat>& beats) : beats_(beats) {}

  const Beat* at(int64_t tick) {
    while (stop_ < beats_.size() && beats_[stop_].tick <= tick) ++stop_;
    if (beats_.empty()) return nullptr;
    return stop_ == 0 ? &beats_.front() : &beats_[stop_ - 1];
  }

private:
  const std::vector<Beat>& beats_;
  std::size_t stop_ = 0;
};

int32_t commonTimeLength(int32_t division) { return std::max(division * 4, 1); }

Measure makeMeasure(std::size_t index, int64_t startTick, int32_t length) {
  return {static_cast<int32_t>(index), static_cast<int32_t>(startTick), length};
}

int64_t gridEnd(const std::vector<Measure>& measures) {
  return measures.empty() ? 0 : measures.back().endTick();
}

}  // namespace

int32_t measureLength(const Beat* beat, int32_t division) {
  if (!beat || beat->numerator < 1 || beat->denominator < 1) return commonTimeLength(division);
  // Single precision on purpose: odd signatures truncate exactly as the chart's lengths expect.
  const float length = static_cast<float>(beat->numerator) / static_cast<float>(beat->denominator) *
                       static_cast<float>(division * 4);
  if (!(length >= 1.0f) || length >= 2147483648.0f) return commonTimeLength(division);
  return static_cast<int32_t>(length);
}

MeasureGrid buildMeasureGrid(const Song& song) {
  MeasureGrid grid;
  BeatWalk beats(song.beats);
  // 64 bits: the end of the last measure may lie past the largest tick a song can have.
  int64_t tick = 0;
  while (tick < song.songEnd && grid.measures.size() < kMaxMeasures) {
    const int32_t length = measureLength(beats.at(tick), song.header.division);
    grid.measures.push_back(makeMeasure(grid.measures.size(), tick, length));
    tick += length;
  }
  return grid;
}

Placement placeInMeasure(const Measure& measure, int32_t tick) {
  if (measure.length < 1) return {};
  const int64_t offset = int64_t{tick} - measure.startTick;
  const int64_t length = measure.length;
  // The smallest d for which offset x d is a multiple of the length is length / gcd.
  const int64_t common = std::gcd(offset, length);
  const int64_t resolution = length / common;
  if (resolution <= kFinestResolution) {
    return {static_cast<int32_t>(offset / common), static_cast<int32_t>(resolution)};
  }
  return {static_cast<int32_t>(offset * kFinestResolution / length), kFinestResolution};
}

const Measure* MeasureCursor::measureFor(int32_t tick) {
  std::vector<Measure>& measures = grid_.measures;
  if (measures.empty() && !appendMeasure()) return nullptr;
  while (tick >= measures[position_].endTick()) {
    if (position_ + 1 == measures.size() && !appendMeasure()) return nullptr;
    ++position_;
  }
  return &measures[position_];
}

bool MeasureCursor::appendMeasure() {
  std::vector<Measure>& measures = grid_.measures;
  if (measures.size() >= kMaxMeasures) return false;
  const int64_t start = gridEnd(measures);
  // Only a tick at or after the grid's end asks for a measure, so the start is a tick itself.
  const int32_t beat = beatAt(song_.beats, static_cast<int32_t>(start));
  const Beat* inEffect = beat == kNone ? nullptr : &song_.beats[static_cast<std::size_t>(beat)];
  measures.push_back(makeMeasure(measures.size(), start, measureLength(inEffect, song_.header.division)));
  return true;
}

}  // namespace rendlow
