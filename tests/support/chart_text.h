#pragma once

// Reads the background objects back out of a chart text, the way a player lays out a line: each
// of a line's two-character slots at slot / slots of its measure, every line of a measure
// layered. Lets tests check that the chart holds every object the model placed.

#include <compare>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rendlow {
class Project;
}

namespace rendlow::test {

struct ChartObject {
  int32_t measure = 0;
  int64_t numerator = 0;  // the fraction of the measure, in lowest terms
  int64_t denominator = 1;
  std::string id;

  auto operator<=>(const ChartObject&) const = default;
};

// Every object of the channel's lines ("01" background, "08" tempo), sorted.
std::vector<ChartObject> channelObjects(std::string_view chartText, std::string_view channel = "01");

// Every background object of the project's chart tracks, sorted.
std::vector<ChartObject> placedNotes(const Project& project);

}  // namespace rendlow::test
