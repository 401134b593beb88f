#pragma once

// The channel lines of a chart: "#mmmcc:" followed by equal slots of two-character object ids,
// "00" for an empty slot. A player spreads a line's slots evenly over the measure and layers
// every line of the same measure and channel, so one measure may have several lines.

#include <cstdint>
#include <span>
#include <string>

namespace rendlow {

inline constexpr int kChannelBackground = 1;
inline constexpr int kChannelTempo = 8;

// The largest id and measure number the chart format can express: "ZZ" and "999".
inline constexpr int32_t kMaxChartId = 36 * 36 - 1;
inline constexpr int32_t kMaxMeasureNumber = 999;

// Base 36 with upper-case letters, at least two digits ("01", "0Z", "10", "ZZ"); values above
// ZZ get more digits, which no line of the chart can hold, so the writer never asks for them.
std::string toBase36(int32_t value);

// One object of a line: it lies `position` / `resolution` of the way through its measure.
struct LineObject {
  int32_t position = 0;
  int32_t resolution = 1;
  int32_t id = 0;
};

// Appends the lines of one channel of one measure holding `objects` (given in build order).
// Every object gets a slot: an object whose fraction is not past the last one of a line starts
// or joins a later line, and each line has as many slots as the least common multiple of its
// objects' resolutions. With no objects, one empty line "00" is written.
void appendChannelLines(std::string& out, int32_t measure, int channel, std::span<const LineObject> objects);

}  // namespace rendlow
