#pragma once

// The conversion as a value: the stages that turn a song and its tracks' settings into the sliced
// tracks, the rendering layout, its re-timing, and the chart model, in their fixed order. Nothing
// is written and nothing outside the value is changed; the output plan owns what it makes.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/diagnostics.h"
#include "base/result.h"
#include "bms/chart.h"
#include "bms/measure_grid.h"
#include "midi/song.h"
#include "slicer/note.h"
#include "slicer/render_layout.h"
#include "slicer/retiming.h"
#include "slicer/track_settings.h"

namespace rendlow {

struct Converted {
  std::vector<std::size_t> tracks;      // the converted tracks: with content and enabled, in song order
  std::vector<TrackSettings> settings;  // one per track of the song, as the conversion took them
  std::vector<SlicedTrack> sliced;      // one per track of the song; empty for a track left out
  RenderingLayout layout;               // one per track of the song, re-timed
  RetimingReport retiming;
  MeasureGrid measures;  // the chart's grid; empty when no chart was asked for
  Chart chart;           // likewise
};

// The tracks a conversion of `song` with `settings` (one per track) takes part in the rendering
// file and the chart: with content and enabled.
std::vector<std::size_t> convertedTracks(const Song& song, std::span<const TrackSettings> settings);

// The notes of every enabled track, then every layout, then the re-timing of all layouts together,
// and with `withChart` the measure grid and the chart. Every extraction comes before any layout: a
// layout reads the numbers of its own track only, but the re-timing needs every layout built. A
// track whose layout would pass its bounds refuses the whole conversion; the problem names it in
// `songPath`, the file the song was read from.
Result<Converted> convertSong(const Song& song, std::span<const TrackSettings> settings, bool withChart,
                              const std::string& songPath, Diagnostics& diagnostics);

// The rendering MIDI file of the converted tracks (see encodeMidiFile).
Result<std::string> encodeRenderingFile(const Song& song, const Converted& converted,
                                        Diagnostics& diagnostics);

}  // namespace rendlow
