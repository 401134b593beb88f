#pragma once

// Turns the converted tracks into the chart model, in passes that each give a value: the measure
// grid, sized first to hold every object; the #WAV ids each track starts from; one background
// object per occurrence of a sound (every chain head) at the song time of its note-on; and one
// tempo object per tempo change of the converted tracks. Takes the song as read and the tracks'
// sliced notes.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "bms/chart.h"
#include "bms/measure_grid.h"
#include "midi/song.h"
#include "slicer/note.h"
#include "slicer/track_settings.h"

namespace rendlow {

// What the id assignment needs of one converted track: how many definitions its chart objects
// name, and the gap its settings leave after them.
struct TrackDefinitions {
  bool placesNote = false;    // a track without a sound takes no ids and leaves no gap
  int32_t maxDefinition = 0;  // the largest definition a chain head of the track names
  int32_t gap = 0;            // wavDefinitionGap; a negative gap counts as 0
};

// The definitions the chart objects of a sliced track name.
TrackDefinitions definitionsOf(const SlicedTrack& sliced, const TrackSettings& settings);

// The first #WAV id of each track, in order: id 1 for the first; each track that places a note
// passes the ids of its definitions and its gap on to the next. Ids far beyond what a chart can
// hold are refused later as a whole; here they only must not overflow.
std::vector<int32_t> assignFirstWavIds(std::span<const TrackDefinitions> tracks);

// The last tick an object of the converted tracks `tracks` stands at: their chain heads' note-ons
// and their tempo changes; -1 for none. `sliced` runs parallel to song.tracks.
int32_t lastObjectTick(const Song& song, std::span<const std::size_t> tracks,
                       std::span<const SlicedTrack> sliced);

// The chart track of song track `track`, which the conversion has sliced and numbered, with its
// ids from `firstWav`: a background object per chain head, in note-on order.
ChartTrack buildChartTrack(const Song& song, std::size_t track, const SlicedTrack& sliced,
                           const TrackSettings& settings, const MeasureGrid& grid, int32_t firstWav);

// The tempo changes of the converted tracks, placed: track by track, each in event order.
std::vector<ChartTempo> placeTempoChanges(const Song& song, std::span<const std::size_t> tracks,
                                          const MeasureGrid& grid);

// The chart of the converted tracks `tracks` (positions in the song, ascending) on `grid`, which
// reaches past lastObjectTick (see buildMeasureGrid). `sliced` and `settings` run parallel to
// song.tracks.
Chart buildChart(const Song& song, std::span<const std::size_t> tracks, std::span<const SlicedTrack> sliced,
                 std::span<const TrackSettings> settings, const MeasureGrid& grid);

}  // namespace rendlow
