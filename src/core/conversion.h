#pragma once

// The conversion run: the stages that turn the song as read into rendering layouts, in their
// fixed order. Each stage is callable on its own so that a benchmark can time it.

#include <cstddef>
#include <optional>

#include "base/diagnostics.h"
#include "midi/layout_retiming.h"

namespace rendlow {

class Project;

// Pairs, groups and numbers the notes of every enabled track, in file order.
void extractAllNotes(Project& project, Diagnostics& diagnostics);

// Replaces the events of every enabled track by its rendering layout, in file order. Stops at the
// first track whose layout would pass its bound (see buildRenderLayout) and returns its index in
// the project's tracks; that track and the ones after it keep the events as read.
std::optional<std::size_t> layOutAllTracks(Project& project);

struct ConversionReport {
  // The index of the track that could not be laid out; then nothing was re-timed, and the
  // project must not be written.
  std::optional<std::size_t> refusedTrack;
  // How the re-timing ended. When it stopped without settling, the layouts can still be
  // written and are valid, but some sounds may lie under another tempo than their own.
  SettleReport retiming;

  bool laidOut() const { return !refusedTrack; }
};

// Measures, then the notes of every enabled track, then every layout, then the re-timing of all
// layouts together. Every extraction comes before any layout: a layout reads the numbers of its
// own track only, but the re-timing needs every layout built.
ConversionReport convert(Project& project, Diagnostics& diagnostics);

}  // namespace rendlow
