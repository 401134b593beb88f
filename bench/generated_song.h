#pragma once

#include "support/midi_builder.h"

namespace rendlow::test {

// A long song shaped like a real game soundtrack: a conductor with tempo changes every 8 bars and
// sections in 3/4 and 7/8, then five instruments: drums on channel 10 (about 6,600 notes), a lead
// of fast single notes with expression, modulation and pan controllers (about 12,000), a legato
// bass, three-note chords and an arpeggio, some 28,000 notes in all and several hundred distinct
// sounds. `scale` 2 makes the same song twice as long.
Bytes generatedSong(int scale = 1);

// A 20-minute soundtrack of eight tracks: the conductor's tempo changes, then drums, a lead, a
// bass, chords held by the sustain pedal, an arpeggio, a pad and a counter-melody, each on a
// channel of its own, some 350 distinct sounds. `bars` shortens it: 700 is the whole song.
Bytes soundtrackSong(int bars = 700);

}  // namespace rendlow::test
