#pragma once

#include "midi/song.h"

namespace rendlow {

// Lays out the track for rendering: every distinct sound (every chain marked as the first
// occurrence of its sound) played once, in the order of their sound numbers, each after a gap
// of `noteInterval` ticks and preceded by controller presets that restore the values it started
// with. Events that are not notes travel along at their song distances. Returns the layout and
// makes it the track's events; the events as read move to `originalEvents`. Tempo records whose
// meta event is copied into the layout are re-pointed at the copy.
EventList buildRenderLayout(MidiTrack& track);

}  // namespace rendlow
