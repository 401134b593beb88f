#pragma once

// Re-timing of the rendering layouts: sound starts onto their track's grid, each sound start
// clear of the tempo change it is rendered under, and every tempo section long enough for the
// sounds of every track, repeated over all tracks until no tempo change moves.

#include <cstdint>
#include <span>
#include <vector>

#include "base/diagnostics.h"
#include "midi/song.h"
#include "slicer/note.h"
#include "slicer/render_layout.h"
#include "slicer/track_settings.h"

namespace rendlow {

// A sound start stays at least this many ticks after the tempo change it is rendered under, so
// the sequencer has settled into the tempo before the sound begins.
inline constexpr int32_t kTempoClearance = 960;

// Songs settle in two cycles without a grid. With one they take more, the more tempo changes they
// have (a grid move can make a section ask for more room once the sections before it have moved;
// 35 cycles for 500 tempo changes in the benchmark). The bound only stops a layout that would
// keep moving.
inline constexpr int32_t kMaxRetimingCycles = 1000;

struct RetimingReport {
  enum class Ending { Settled, CycleLimit, Overflow };

  int32_t cycles = 0;
  Ending ending = Ending::Settled;

  bool settled() const { return ending == Ending::Settled; }
};

// What the re-timing learns of one tempo change of the song: where its Set Tempo event stands in
// the layout, the tick it was moved to, the room its section was granted (how far the next tempo
// change stands after it) and the room its section's sounds ask for.
struct RetimedTempo {
  int32_t track = kNone;
  int32_t event = kNone;  // position in the track's layout
  int32_t tick = 0;
  int32_t granted = 0;
  int32_t needed = 0;
};

struct RetimedLayout {
  RenderingLayout layout;
  std::vector<RetimedTempo> tempos;  // one per tempo change of the song
  RetimingReport report;
};

// The cycle loop over every track's layout: in each cycle every enabled track moves its sound
// starts (onto its grid, clear of their tempo change) and its tempo changes, then every track
// moves its tempo changes, until a cycle moves no tempo change. Every moved event keeps the
// events after it at their distances, and no event is ever moved before the event that precedes
// it. Each cycle starts from the layouts as built; the tempo records carry what earlier cycles
// learned. Stops after `maxCycles` with the last cycle's layout, or on an overflow (a tick past
// 2^31 - 1) with the layouts as built; either way with a diagnostics line and a layout that can
// be written. Takes the layout as built (one track per song track) and the song it was built
// from; gives the re-timed layout and the tempo records. `sliced` and `settings` run parallel to
// song.tracks.
RetimedLayout retimeLayout(RenderingLayout built, const Song& song, std::span<const SlicedTrack> sliced,
                           std::span<const TrackSettings> settings, Diagnostics& diagnostics,
                           int32_t maxCycles = kMaxRetimingCycles);

}  // namespace rendlow
