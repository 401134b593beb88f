#pragma once

// Re-timing of the rendering layouts: sound starts onto their track's grid, each sound start
// clear of the tempo change it is rendered under, and every tempo section long enough for the
// sounds of every track, repeated over all tracks until no tempo change moves.

#include <cstdint>

#include "base/diagnostics.h"
#include "midi/song.h"

namespace rendlow {

class Project;

// A sound start stays at least this many ticks after the tempo change it is rendered under, so
// the sequencer has settled into the tempo before the sound begins.
inline constexpr int32_t kTempoClearance = 960;

// Songs settle in two cycles without a grid. With one they take more, the more tempo changes they
// have (a grid move can make a section ask for more room once the sections before it have moved;
// 35 cycles for 500 tempo changes in the benchmark). The bound only stops a layout that would
// keep moving.
inline constexpr int32_t kMaxRetimingCycles = 1000;

enum class AlignOutcome {
  Stable,    // no tempo change moved
  Moved,     // a tempo change moved, or a section asked for more room
  Overflow,  // a tick would pass 2^31 - 1; the pass stopped where it was
};

// One pass over the track's events. Full mode moves sound starts (grid, tempo clearance) and
// tempo changes; `temposOnly` moves tempo changes only. Every moved event keeps the events after
// it at their distances, and no event is ever moved before the event that precedes it. On an
// overflow the events keep the deltas they had.
AlignOutcome alignLayout(MidiTrack& track, bool temposOnly);

struct SettleReport {
  enum class Ending { Settled, CycleLimit, Overflow };

  int32_t cycles = 0;
  Ending ending = Ending::Settled;

  bool settled() const { return ending == Ending::Settled; }
};

// The cycle loop over every track's layout. Each cycle starts from the layouts as built; the
// tempo records carry what earlier cycles learned. Stops after `maxCycles` with the last
// cycle's layout, or on an overflow with the layouts as built; either way with a diagnostics line
// and deltas that can be written.
SettleReport settleLayout(Project& project, Diagnostics& diagnostics, int32_t maxCycles = kMaxRetimingCycles);

}  // namespace rendlow
