#pragma once

#include <span>
#include <vector>

#include "midi/song.h"
#include "slicer/note.h"
#include "slicer/track_settings.h"

namespace rendlow {

// The numbers of every note of the track, in note order: each chain's notes take its definition
// number (which chart object plays it), its sound number (which rendered sound file it plays), its
// first-occurrence mark and its variant. An occurrence reuses the most recent usable definition of
// its sound unless it starts within `multipleThreshold` ticks of it; then it gets a further
// definition of the same sound. `events` are the track's events the notes were made from.
std::vector<NoteNumbers> numberDefinitions(const SlicedEvents& events, const SlicedTrack& sliced,
                                           const TrackSettings& settings, std::span<const Tempo> tempos);

}  // namespace rendlow
