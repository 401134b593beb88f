#pragma once

#include "support/midi_builder.h"

namespace rendlow::test {

// A long song shaped like a real game soundtrack: a conductor with tempo changes every 8 bars and
// sections in 3/4 and 7/8, then five instruments: drums on channel 10 (about 6,600 notes), a lead
// of fast single notes with expression, modulation and pan controllers (about 12,000), a legato
// bass, three-note chords and an arpeggio, some 28,000 notes in all and several hundred distinct
// sounds. `scale` 2 makes the same song twice as long.
Bytes generatedSong(int scale = 1);

}  // namespace rendlow::test
