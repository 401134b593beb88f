#pragma once

// The channel lines of a chart: "#mmmcc:" followed by equal slots of two-character object ids,
// "00" for an empty slot. A player spreads a line's slots evenly over the measure and layers
// every line of the same measure and channel, so one measure may have several lines.

#include <cstdint>
#include <span>
#include <string>

#include "base/result.h"
#include "bms/chart_format.h"

namespace rendlow {

// One object of a line: it lies `position` / `resolution` of the way through its measure.
struct LineObject {
  int32_t position = 0;
  int32_t resolution = 1;
  int32_t id = 0;
};

// A line has as many slots as the least common multiple of its objects' resolutions, which a
// crafted measure can drive past 2^31 - 1; a track has a line per lane in every measure, and a
// crafted track can have thousands of lanes; and the chart is formatted whole before it is
// written. So every line is counted before it is made: one line may have kMaxLineSlots slots
// (songs need under 2,000; a 15/16 measure at 9,600 ticks per quarter, 72,000 at most), and the
// lines of the whole chart may take kMaxChartLineBytes. A chart that needs more is refused, not
// written cut short.
inline constexpr int64_t kMaxLineSlots = int64_t{1} << 18;
inline constexpr int64_t kMaxChartLineBytes = int64_t{64} << 20;

// What the lines of one chart may still take.
class LineBudget {
public:
  // Takes a line of `slots` slots, or refuses it with the breach: which measure (and channel)
  // and which bound. `slots` above kMaxLineSlots stands for any count past it.
  Result<void> take(int32_t measure, int channel, int64_t slots);

private:
  int64_t used_ = 0;
};

// Appends the lines of one channel of one measure holding `objects` (given in build order).
// Every object gets a slot: an object whose fraction is not past the last one of a line starts
// or joins a later line, and each line has as many slots as the least common multiple of its
// objects' resolutions. With no objects, one empty line "00" is written. Refused, with the
// budget's breach and nothing more appended, when a line does not fit the budget.
Result<void> appendChannelLines(std::string& out, int32_t measure, int channel,
                                std::span<const LineObject> objects, LineBudget& budget);

}  // namespace rendlow
