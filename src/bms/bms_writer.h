#pragma once

// Writes the chart model as a ".bme" text: the header, the tempo and #WAV definitions, then
// measure by measure the tempo channel (08), the measure length (02) and every chart track's
// background lines (01). Every object arrives placed, so no tick arithmetic happens here.

#include <string>

#include "base/result.h"
#include "bms/chart.h"
#include "bms/measure_grid.h"
#include "midi/song.h"

namespace rendlow {

// The whole chart text, each line ended by "\n". Fails, with the reason, when the chart passes
// a limit of the format (checkChartLimits) or its lines would pass their bounds (LineBudget).
Result<std::string> formatBmsChart(const Song& song, const MeasureGrid& grid, const Chart& chart,
                                   const ChartHeader& header);

// A tempo as the chart writes it: exactly as its Set Tempo event sets it, in double precision.
double chartBpmValue(const Tempo& tempo);

}  // namespace rendlow
