#pragma once

// Turns one converted track into a chart track: one background object per occurrence of a
// sound (every chain head) at the song time of its note-on, and one tempo object per tempo
// change the track holds. The track's #WAV ids are taken from the running id counter.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "bms/chart.h"
#include "midi/song.h"
#include "slicer/note.h"
#include "slicer/track_settings.h"

namespace rendlow {

// Builds the chart track of song track `track`, which the conversion has sliced and numbered,
// from its events as read. Appends the track's tempo changes to `chartBpms` and, when it placed a
// note, advances `nextWavId` past the track's ids and its gap. song.measures grows when an
// object lies past the end of the grid.
BMSTrack buildChartTrack(Song& song, std::size_t track, const SlicedTrack& sliced,
                         const TrackSettings& settings, std::vector<BMSBPM>& chartBpms, int32_t& nextWavId);

}  // namespace rendlow
