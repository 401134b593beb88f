#pragma once

// The conversion run: the stages that turn the song as read into the sliced tracks and the
// rendering layout, in their fixed order, and the rendering file made from them.

#include <cstddef>
#include <optional>
#include <string>

#include "base/diagnostics.h"
#include "base/result.h"
#include "slicer/layout_retiming.h"

namespace rendlow {

class Project;

struct ConversionReport {
  // The position of the track that could not be laid out within its bounds; then nothing was
  // re-timed, and the project must not be written.
  std::optional<std::size_t> refusedTrack;
  // How the re-timing ended. When it stopped without settling, the layouts can still be written
  // and are valid, but some sounds may lie under another tempo than their own.
  SettleReport retiming;
};

// The notes of every enabled track, then every layout (stopping at the first track whose layout
// would pass its bounds), then the re-timing of all layouts together, into project.sliced and
// project.layout. Every extraction comes before any layout: a layout reads the numbers of its
// own track only, but the re-timing needs every layout built.
ConversionReport convert(Project& project, Diagnostics& diagnostics);

// The rendering MIDI file of the converted tracks, from the project's layout (see encodeMidiFile).
Result<std::string> encodeRenderingFile(const Project& project, Diagnostics& diagnostics);

}  // namespace rendlow
