#pragma once

// The last stage of "Midi&&BMS出力": after the rendering MIDI file and the settings file are
// written, the chart is built from the converted song and written beside the rendering file.

#include <optional>
#include <string>

#include "base/result.h"

namespace rendlow {

class Project;

// Rebuilds the measure grid and the chart model from the song as read and its sliced tracks (one
// chart track per track that has content and is enabled, the file's first track included) and
// writes it at `chartPath`. A chart that
// passes a limit of its format or size is left out on purpose: then the result holds why. Fails
// when the file cannot be written.
Result<std::optional<Message>> writeChart(Project& project, const std::string& chartPath);

}  // namespace rendlow
