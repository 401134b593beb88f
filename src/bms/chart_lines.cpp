#include "bms/chart_lines.h"

#include <numeric>
#include <vector>

#include "base/messages.h"

namespace rendlow {

namespace {

using Line = std::vector<LineObject>;

// Compared as rationals, so 79/128 and 118/192 order by value, not by position.
bool isBefore(const LineObject& a, const LineObject& b) {
  return int64_t{a.position} * b.resolution < int64_t{b.position} * a.resolution;
}

// An object the chart building left unplaced has no slot; every object it places is placed.
bool isPlaced(const LineObject& o) {
  return o.resolution >= 1 && o.position >= 0 && o.position < o.resolution;
}

// Each object goes on the first line whose last object lies strictly before it, else on a new
// line, so no object ever finds its slot taken or passed.
std::vector<Line> distributeByFraction(std::span<const LineObject> objects) {
  std::vector<Line> lines;
  for (const LineObject& object : objects) {
    if (!isPlaced(object)) continue;
    Line* target = nullptr;
    for (Line& line : lines) {
      if (isBefore(line.back(), object)) {
        target = &line;
        break;
      }
    }
    if (target) {
      target->push_back(object);
    } else {
      lines.push_back(Line{object});
    }
  }
  return lines;
}

// The least common multiple of the line's resolutions, or a count past kMaxLineSlots.
int64_t slotCount(const Line& line) {
  int64_t slots = 1;
  for (const LineObject& object : line) {
    slots = std::lcm(slots, int64_t{object.resolution});
    if (slots > kMaxLineSlots) return slots;
  }
  return slots;
}

void appendLine(std::string& out, int32_t measure, int channel, const Line& line, int64_t slots) {
  out += channelLineStart(measure, channel);
  const std::size_t begin = out.size();
  out.append(static_cast<std::size_t>(slots) * 2, '0');
  for (const LineObject& object : line) {
    const int64_t slot = slots / object.resolution * object.position;
    const std::string id = toBase36(object.id);
    out.replace(begin + static_cast<std::size_t>(slot) * 2, 2, id, 0, 2);
  }
  out += '\n';
}

}  // namespace

Result<void> LineBudget::take(int32_t measure, int channel, int64_t slots) {
  if (slots > kMaxLineSlots) return Problem{lineSlotsBreach(measure, channel, kMaxLineSlots)};
  // "#mmmcc:", two characters a slot, and the line end.
  const int64_t bytes = 8 + 2 * slots;
  if (used_ + bytes > kMaxChartLineBytes) return Problem{chartSizeBreach(measure, kMaxChartLineBytes >> 20)};
  used_ += bytes;
  return {};
}

Result<void> appendChannelLines(std::string& out, int32_t measure, int channel,
                                std::span<const LineObject> objects, LineBudget& budget) {
  std::vector<Line> lines = distributeByFraction(objects);
  if (lines.empty()) lines.emplace_back();  // an empty measure still has its "00" line
  for (const Line& line : lines) {
    const int64_t slots = slotCount(line);
    if (Result<void> taken = budget.take(measure, channel, slots); !taken) return taken;
    appendLine(out, measure, channel, line, slots);
  }
  return {};
}

}  // namespace rendlow
