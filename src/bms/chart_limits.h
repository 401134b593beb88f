#pragma once

// The chart format addresses objects with two base-36 digits and measures with three decimal
// digits. A chart that needs more is refused as a whole rather than written with ids or
// measure numbers that every player would misread.

#include <optional>

#include "base/message.h"
#include "bms/chart.h"
#include "midi/song.h"

namespace rendlow {

// Which limits the built chart passes, by how much, and what the author can change; nothing
// when the chart fits the format.
std::optional<Message> chartLimitBreach(const Song& song, const Chart& chart);

}  // namespace rendlow
