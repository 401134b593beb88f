#include "bms/measure_grid.h"

#include <algorithm>
#include <limits>
#include <numeric>

#include "core/project.h"

namespace rendlow {

namespace {

constexpr int32_t kFinestResolution = 192;

// beatAt for ticks that only grow. The read-order scan stops at the first time signature that
// lies later than the tick; that stop can only move forward as the tick grows, so a walk over
// the measures costs one pass over the time signatures instead of one scan per measure.
class BeatWalk {
public:
  explicit BeatWalk(const BeatList& beats) : beats_(beats) {}

  const Beat* at(int64_t tick) {
    while (stop_ < beats_.size() && beats_[stop_]->tick <= tick) ++stop_;
    if (beats_.empty()) return nullptr;
    return stop_ == 0 ? beats_.front().get() : beats_[stop_ - 1].get();
  }

private:
  const BeatList& beats_;
  std::size_t stop_ = 0;
};

int32_t commonTimeLength(int32_t division) { return std::max(division * 4, 1); }

std::shared_ptr<Measure> makeMeasure(std::size_t index, int64_t startTick, int32_t length) {
  auto measure = std::make_shared<Measure>();
  measure->index = static_cast<int32_t>(index);
  measure->startTick = static_cast<int32_t>(startTick);
  measure->length = length;
  return measure;
}

int64_t gridEnd(const MeasureList& measures) { return measures.empty() ? 0 : measures.back()->endTick(); }

}  // namespace

int32_t measureLength(const Beat* beat, int32_t division) {
  if (!beat || beat->numerator < 1 || beat->denominator < 1) return commonTimeLength(division);
  // Single precision on purpose: odd signatures truncate exactly as the chart's lengths expect.
  const float length = static_cast<float>(beat->numerator) / static_cast<float>(beat->denominator) *
                       static_cast<float>(division * 4);
  if (!(length >= 1.0f) || length >= 2147483648.0f) return commonTimeLength(division);
  return static_cast<int32_t>(length);
}

void buildMeasures(Project& project) {
  project.measures.clear();
  BeatWalk beats(project.beats);
  // 64 bits: the end of the last measure may lie past the largest tick a song can have.
  int64_t tick = 0;
  while (tick < project.songEnd && project.measures.size() < kMaxMeasures) {
    const int32_t length = measureLength(beats.at(tick), project.header.division);
    project.measures.push_back(makeMeasure(project.measures.size(), tick, length));
    tick += length;
  }
}

Placement placeInMeasure(const Measure& measure, int32_t tick) {
  if (measure.length < 1) return {};
  const int64_t offset = int64_t{tick} - measure.startTick;
  const int64_t length = measure.length;
  // The smallest d for which offset x d is a multiple of the length is length / gcd.
  const int64_t common = std::gcd(offset, length);
  const int64_t resolution = length / common;
  if (resolution < kFinestResolution) {
    return {static_cast<int32_t>(offset / common), static_cast<int32_t>(resolution)};
  }
  return {static_cast<int32_t>(offset * kFinestResolution / length), kFinestResolution};
}

std::shared_ptr<Measure> MeasureCursor::measureFor(int32_t tick) {
  MeasureList& measures = project_.measures;
  if (measures.empty() && !appendMeasure()) return {};
  while (tick >= measures[position_]->endTick()) {
    if (position_ + 1 == measures.size() && !appendMeasure()) return {};
    ++position_;
  }
  return measures[position_];
}

bool MeasureCursor::appendMeasure() {
  MeasureList& measures = project_.measures;
  if (measures.size() >= kMaxMeasures) return false;
  const int64_t start = gridEnd(measures);
  // Only a tick at or after the grid's end asks for a measure, so the start is a tick itself.
  const Beat* beat = project_.beatAt(static_cast<int32_t>(start)).get();
  measures.push_back(makeMeasure(measures.size(), start, measureLength(beat, project_.header.division)));
  return true;
}

}  // namespace rendlow
