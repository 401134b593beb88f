#pragma once

// The last stage of "Midi&&BMS出力": after the rendering MIDI file and the settings file are
// written, the chart is built from the converted song and written beside the rendering file.

#include <optional>
#include <string>
#include <string_view>

#include "base/messages.h"

namespace rendlow {

class Application;
class Form;

enum class ChartOutcome {
  Written,
  NoChartPath,  // the output path is too short to carry an extension to replace
  Refused,      // the chart passes a limit of the format or of its size; the user was told which
  Failed,       // the file could not be written; the user was told why
};

// The chart's path: the output path with its last 4 bytes (taken to be ".mid") replaced by
// ".bme". Nothing for a path of 4 bytes or fewer. The bytes cut are not looked at.
std::optional<std::string> chartPathFor(std::string_view outputPath);

struct ChartResult {
  ChartOutcome outcome = ChartOutcome::NoChartPath;
  std::string path;     // the chart asked for; empty without a chart path
  std::string reason;   // why the chart was refused or not written
  std::string message;  // what the user was told then (chartRefusedMessage, chartFailedMessage)
};

// Rebuilds the chart model from the converted song (one chart track per track that has content
// and is enabled, the file's first track included) and writes the chart. A refusal or a failure
// reaches the user through the form's message.
ChartResult writeChart(Application& app, Form& form, const std::string& outputPath);

}  // namespace rendlow
