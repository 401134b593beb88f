#pragma once

// What a bmson player plays of the chart just written: its sound channels' notes at their times.

#include "audio/fidelity/chart_mix.h"

namespace rendlow {

struct Chart;
struct Song;

// The background of the bmson chart `chart` of `song` was written as: a channel per id,
// named by the file of its last object, each object at its tick through the tempos the chart
// carries (the song's first, then every tempo change of the chart, unrounded), as a player counts
// pulses of the song's division. The chart's own reading of these, value for value, is the
// interop suite's to check.
audio::ChartBackground bmsonBackground(const Song& song, const Chart& chart);

}  // namespace rendlow
