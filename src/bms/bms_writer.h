#pragma once

// Writes the chart model as a ".bme" text: the header, the tempo and #WAV definitions, then
// measure by measure the tempo channel (08), the measure length (02) and every chart track's
// background lines (01). Every object arrives placed, so no tick arithmetic happens here.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "bms/chart_lines.h"
#include "base/file_output.h"
#include "core/project.h"

namespace rendlow {

// The whole chart text, each line ended by "\n"; or, with no text, why the chart is refused: it
// passes a limit of the format (chartLimitBreach) or its lines would pass their bounds
// (LineBudget). Consumes the writer state of the chart tracks and sorts `chartBpms` by tick, so a
// chart model is formatted once.
struct ChartText {
  std::string text;
  std::optional<std::string> refusal;
};
ChartText formatBmsChart(Project& project);

// Formats the chart and writes it atomically in text mode. A refused chart is not written; the
// refusal is the status's reason.
WriteStatus writeBmsFile(Project& project, const std::string& path);

// The track's "#WAV" lines, one per id from firstWav to firstWav + maxDefinition; prepares the
// track's writer state. A track without notes writes nothing.
void writeWavDefinitions(BMSTrack& track, std::string& out);

// The track's background lines of measure m; true while the chart is not finished for it. Lines
// that do not fit the budget are left out; the budget's breach then says why.
bool writeMeasureLines(BMSTrack& track, std::string& out, int32_t m, LineBudget& budget);

// The tempo-channel line of measure m, taking objects from `cursor` on in `chartBpms`.
void writeBpmLine(const ChartBpmList& chartBpms, std::size_t& cursor, std::string& out, int32_t m,
                  LineBudget& budget);

// The measure-length line of measure m, when the measure is not 4/4 long.
void writeMeasureLengthLine(const Project& project, std::string& out, int32_t m);

// A tempo as the chart writes it: rounded to two decimals in single precision.
float chartBpmValue(float bpm);

}  // namespace rendlow
