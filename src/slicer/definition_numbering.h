#pragma once

#include <span>

#include "midi/song.h"
#include "slicer/note.h"
#include "slicer/track_settings.h"

namespace rendlow {

// Gives every chain of the track's notes its definition number (which chart object plays it),
// its sound number (which rendered sound file it plays), its first-occurrence mark and its
// variant. An occurrence reuses the most recent usable definition of its sound unless it starts
// within `multipleThreshold` ticks of it; then it gets a further definition of the same sound.
// `events` are the track's events the notes were made from.
void numberDefinitions(const SlicedEvents& events, SlicedTrack& sliced, const TrackSettings& settings,
                       std::span<const Tempo> tempos);

}  // namespace rendlow
