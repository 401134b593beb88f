#pragma once

// The chart of "Midi&&BMS出力": built from the converted song, formatted before any file of the
// output is written, so that a chart the format cannot hold is known while nothing stands yet.

#include <string>

#include "base/result.h"
#include "bms/chart.h"

namespace rendlow {

class Project;

// Rebuilds the measure grid and the chart model from the song as read and its sliced tracks (one
// chart track per track that has content and is enabled, the file's first track included) and
// gives the chart file's text in `format`. Fails, with why, when the chart passes a limit of its
// format or size: then it is left out on purpose. A bmson chart has no such limit.
Result<std::string> formatChart(Project& project, ChartFormat format);

}  // namespace rendlow
