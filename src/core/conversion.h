#pragma once

// The conversion run: the stages that turn the song as read into rendering layouts, in their
// fixed order. Each stage is callable on its own so that a benchmark can time it.

#include "core/diagnostics.h"
#include "midi/layout_retiming.h"

namespace rendlow {

class Project;

// Pairs, groups and numbers the notes of every enabled track, in file order.
void extractAllNotes(Project& project, Diagnostics& diagnostics);

// Replaces the events of every enabled track by its rendering layout, in file order.
void layOutAllTracks(Project& project);

// Measures, then the notes of every enabled track, then every layout, then the re-timing of all
// layouts together. Every extraction comes before any layout: a layout reads the numbers of its
// own track only, but the re-timing needs every layout built. True when the re-timing settled;
// when it stopped, the layouts can still be written and the diagnostics say why.
bool convert(Project& project, Diagnostics& diagnostics);

}  // namespace rendlow
