#pragma once

// Turns one converted track into a chart track: one background object per occurrence of a
// sound (every chain head) at the song time of its note-on, and one tempo object per tempo
// change the track holds. Takes the song as read and the track's sliced notes; gives the chart
// track. The track's #WAV ids are taken from the running id counter.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "bms/chart.h"
#include "bms/measure_grid.h"
#include "midi/song.h"
#include "slicer/note.h"
#include "slicer/track_settings.h"

namespace rendlow {

// Builds the chart track of song track `track`, which the conversion has sliced and numbered,
// from its events as read. Appends the track's tempo changes to `chartBpms` and, when it placed a
// note, advances `nextWavId` past the track's ids and its gap. The grid grows when an object lies
// past its end.
BMSTrack buildChartTrack(const Song& song, std::size_t track, const SlicedTrack& sliced,
                         const TrackSettings& settings, MeasureGrid& grid, std::vector<BMSBPM>& chartBpms,
                         int32_t& nextWavId);

}  // namespace rendlow
