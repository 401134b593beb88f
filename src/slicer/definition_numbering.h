#pragma once

#include "midi/song.h"

namespace rendlow {

// Gives every chain of the track's notes its definition number (which chart object plays it),
// its sound number (which rendered sound file it plays), its first-occurrence mark and its
// variant. An occurrence reuses the most recent usable definition of its sound unless it starts
// within `multipleThreshold` ticks of it; then it gets a further definition of the same sound.
void numberDefinitions(MidiTrack& track);

}  // namespace rendlow
