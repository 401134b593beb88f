#pragma once

// The chart format addresses objects with two base-36 digits and measures with three decimal
// digits. A chart that needs more is refused as a whole rather than written with ids or
// measure numbers that every player would misread.

#include <cstdint>

#include "base/result.h"
#include "bms/chart.h"
#include "midi/song.h"

namespace rendlow {

// Succeeds when the built chart fits the format; else the problem says which limits it passes,
// by how much, and what the author can change.
Result<void> checkChartLimits(const Song& song, const Chart& chart);
// The same, with `wavIdReason` telling the #WAV ids' breach in place of the fixed advice (the caller
// measured what would fit).
Result<void> checkChartLimits(const Song& song, const Chart& chart, const Message& wavIdReason);

// The largest #WAV id the built chart names; 0 for a chart without sounds.
int64_t largestWavId(const Chart& chart);

}  // namespace rendlow
