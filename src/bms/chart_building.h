#pragma once

// Turns one converted track into a chart track: one background object per occurrence of a
// sound (every chain head) at the song time of its note-on, and one tempo object per tempo
// change the track holds. The track's #WAV ids are taken from the running id counter.

#include <cstdint>
#include <memory>

#include "bms/chart.h"
#include "core/project.h"

namespace rendlow {

// Builds the chart track of `track`, which the conversion run has sliced and numbered. Appends
// the track's tempo changes to project.chartBpms and, when it placed a note, advances
// `nextWavId` past the track's ids and its gap. project.measures grows when an object lies
// past the end of the grid.
std::shared_ptr<BMSTrack> buildChartTrack(const std::shared_ptr<MidiTrack>& track, Project& project,
                                          int32_t& nextWavId);

}  // namespace rendlow
