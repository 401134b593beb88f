#pragma once

// The chart's playback measured against the song as the synthesizer renders it, track by track
// and whole, in one pass over the song for the lags and one for the figures: each track's
// render and their sum are compared a block at a time as they come, never held whole.

#include <optional>
#include <vector>

#include "audio/fidelity/chart_mix.h"
#include "audio/fidelity/fidelity.h"
#include "audio/synth/rendering.h"
#include "base/result.h"

namespace rendlow::audio {

struct SongMeasures {
  // For each track: its figures when it had a playback to measure; whether its render is silent.
  std::vector<std::optional<FidelityFigures>> tracks;
  std::vector<bool> trackSilent;
  std::optional<FidelityFigures> song;  // when it had a playback
  bool songSilent = true;
};

// `trackPlaybacks` holds for each track the playback of its part of the chart, or null for none;
// `songPlayback` the whole chart's, or null. `song` opens the song afresh for each pass. The
// problem is the song's that did not open, or a sound file of a playback that could not be read
// again as it played (see ChartMix::stream), the first playback's so lost.
using SongOpener = std::function<Result<std::unique_ptr<SongStream>>()>;
Result<SongMeasures> measureAgainstSong(const SongOpener& song, const std::vector<const ChartMix*>& trackPlaybacks,
                                        const ChartMix* songPlayback);

}  // namespace rendlow::audio
