#include "bms/measure_grid.h"

#include <algorithm>
#include <numeric>

namespace rendlow {

namespace {

// A measure of up to this many ticks (every 4/4 measure at 960 ticks per quarter or fewer) places
// every tick exactly; a line then holds at most this many slots, 7,687 bytes, which players read.
constexpr int32_t kFinestResolution = 3840;

// timeSignatureAt for ticks that only grow. The read-order scan stops at the first time signature that
// lies later than the tick; that stop can only move forward as the tick grows, so a walk over
// the measures costs one pass over the time signatures instead of one scan per measure.
class TimeSignatureWalk {
public:
  explicit TimeSignatureWalk(const std::vector<TimeSignature>& signatures) : signatures_(signatures) {}

  const TimeSignature* at(int64_t tick) {
    while (stop_ < signatures_.size() && signatures_[stop_].tick <= tick) ++stop_;
    if (signatures_.empty()) return nullptr;
    return stop_ == 0 ? &signatures_.front() : &signatures_[stop_ - 1];
  }

private:
  const std::vector<TimeSignature>& signatures_;
  std::size_t stop_ = 0;
};

int32_t commonTimeLength(int32_t division) { return std::max(division * 4, 1); }

Measure makeMeasure(std::size_t index, int64_t startTick, int32_t length) {
  return {static_cast<int32_t>(index), static_cast<int32_t>(startTick), length};
}
}  // namespace

int32_t measureLength(const TimeSignature* signature, int32_t division) {
  if (!signature || signature->numerator < 1 || signature->denominator < 1) return commonTimeLength(division);
  // Single precision on purpose: odd signatures truncate exactly as the chart's lengths expect.
  const float length = static_cast<float>(signature->numerator) / static_cast<float>(signature->denominator) *
                       static_cast<float>(division * 4);
  if (!(length >= 1.0f) || length >= 2147483648.0f) return commonTimeLength(division);
  return static_cast<int32_t>(length);
}

MeasureGrid buildMeasureGrid(const Song& song, int64_t lastObjectTick) {
  MeasureGrid grid;
  TimeSignatureWalk signatures(song.timeSignatures);
  const int64_t end = std::max<int64_t>(song.songEnd, lastObjectTick + 1);
  // 64 bits: the end of the last measure may lie past the largest tick a song can have.
  int64_t tick = 0;
  while (tick < end && grid.measures.size() < kMaxMeasures) {
    const int32_t length = measureLength(signatures.at(tick), song.header.division);
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
  const std::vector<Measure>& measures = grid_.measures;
  if (measures.empty()) return nullptr;
  while (tick >= measures[position_].endTick()) {
    if (position_ + 1 == measures.size()) return nullptr;
    ++position_;
  }
  return &measures[position_];
}

}  // namespace rendlow
