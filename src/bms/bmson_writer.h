#pragma once

// Writes the chart model as bmson 1.0.0, the JSON chart format that has no limit on its number of
// sounds. It carries what the ".bme" carries: the header texts, the tempo changes, the measure
// starts and every track's background objects, one sound channel per id the ".bme" would define.
// Its pulses are the song's ticks, so every object stands exactly on its note.

#include <string>

#include "bms/chart.h"
#include "bms/measure_grid.h"
#include "midi/song.h"

namespace rendlow {

// The whole bmson text, UTF-8. The header texts and sound file names are the program's code page
// 932 texts, decoded.
std::string formatBmsonChart(const Song& song, const MeasureGrid& grid, const Chart& chart,
                             const ChartHeader& header);

}  // namespace rendlow
