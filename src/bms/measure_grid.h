#pragma once

// The song's bar grid: the measures that the chart addresses its objects by, built from the
// time signatures, and the placement of a tick as a fraction of its measure. Takes the song as
// read and how far its chart's objects reach; gives the grid.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "midi/song.h"

namespace rendlow {

// The grid never holds more measures than this. A chart addresses measures 000 to 999, so a
// longer song cannot be charted anyway; the bound keeps a tiny damaged file with a huge tick
// from allocating millions of measures.
inline constexpr std::size_t kMaxMeasures = 10000;

// Ticks per measure under `signature`: numerator / denominator x (division x 4) in single
// precision, truncated. No time signature, or one that is unusable (numerator or denominator below
// 1, or a measure shorter than one tick), counts as 4/4.
int32_t measureLength(const TimeSignature* signature, int32_t division);

struct Measure {
  int32_t index = 0;
  int32_t startTick = 0;
  int32_t length = 0;

  // 64 bits: the last measure of a song may end past the largest tick a song can have.
  int64_t endTick() const { return int64_t{startTick} + length; }
};

struct MeasureGrid {
  std::vector<Measure> measures;  // contiguous from tick 0, numbered from 0
};

// Contiguous measures from tick 0 until they hold every tick before the song's end and every tick
// up to `lastObjectTick` (none for an empty song without objects; -1 for no object), at most
// kMaxMeasures. Each measure takes the time signature in effect at its first tick.
MeasureGrid buildMeasureGrid(const Song& song, int64_t lastObjectTick = -1);

// A tick as `position` / `resolution` of the way through its measure, resolution 1 to 3840.
struct Placement {
  int32_t position = 0;
  int32_t resolution = 1;

  bool operator==(const Placement&) const = default;
};

// Exact when the offset is a whole number of 1/d of the measure for some d up to 3840 (the
// smallest such d is taken); otherwise rounded down to a 3840th of the measure, which only a
// measure longer than 3840 ticks can need. `tick` is expected to lie inside `measure`.
Placement placeInMeasure(const Measure& measure, int32_t tick);

// Finds the measure of each tick of one walk whose ticks only grow (one track's events), moving
// forward from the previous answer. A tick earlier than the previous answer gets the previous
// answer (the cursor never moves back). Null for a tick at or after the grid's end.
class MeasureCursor {
public:
  explicit MeasureCursor(const MeasureGrid& grid) : grid_(grid) {}

  const Measure* measureFor(int32_t tick);

private:
  const MeasureGrid& grid_;
  std::size_t position_ = 0;
};

}  // namespace rendlow
