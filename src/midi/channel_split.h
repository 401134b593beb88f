#pragma once

#include "midi/song.h"

namespace rendlow {

// A format 0 file holds every channel in one track; sequencers import it as one track per
// channel, and so does this. When the header says format 0, exactly one track was read and it
// holds a channel event, the track is replaced by what a format 1 file would hold: first a
// conductor with everything that is not a channel event (meta and system-exclusive events, data
// bytes without a status, the End of Track), keeping the track's name; then, for every channel
// used, in ascending order, a track named "Ch01" ... "Ch16" holding that channel's events and an
// End of Track at the tick of the song's last event. Every event keeps its tick, bytes and tempo
// link; deltas, positions and each track's bookkeeping (voices, polyphony, controllers, tempo,
// content) are worked out anew, and the tempo changes follow their events. Any other song is
// left as it is.
void splitChannels(Song& song);

}  // namespace rendlow
