#pragma once

#include <cstddef>
#include <vector>

#include "midi/song.h"
#include "slicer/note.h"
#include "slicer/track_settings.h"

namespace rendlow {

// A sound that starts while another is still open is postponed, and the walk later goes back over
// the stretch it skipped, laying out again the events there that belong to no sound. In a track
// whose sounds all overlap (every note held until the song ends, say) that walks the rest of the
// track once per sound: quadratic in its length. So a layout is bounded in time, by the steps of
// the walk, and in memory, by the events laid out (controller presets included), each in
// proportion to the track's events, with a margin that lets short tracks overlap freely.
// Generated songs of every kind we tried needed up to 20 steps and 3 laid-out events per event
// (a sustained arpeggio whose notes each last 32 notes, all sounds distinct). Presets add one
// event per controller of the track and distinct sound: a track of only distinct sounds reaches
// the events bound with some 60 controllers. At the bounds, no input of 64 KiB holds more than a
// few hundred MiB (bench_bounds).
struct LayoutLimits {
  std::size_t steps = 0;
  std::size_t events = 0;
};
inline constexpr std::size_t kLayoutStepsPerEvent = 256;
inline constexpr std::size_t kLayoutStepsMargin = std::size_t{1} << 16;
inline constexpr std::size_t kLayoutEventsPerEvent = 32;
inline constexpr std::size_t kLayoutEventsMargin = std::size_t{1} << 10;

// The limits of the layout of a track of `events` events.
LayoutLimits layoutLimits(std::size_t events);

// Lays out the track for rendering: every distinct sound (every chain marked as the first
// occurrence of its sound) played once, in the order of their sound numbers, each after a gap
// of `noteInterval` ticks and preceded by controller presets that restore the values it started
// with. Events that are not notes travel along at their song distances. The layout becomes the
// track's events; the events as read move to `originalEvents`. A tempo change of this track
// (`trackIndex` in the song) whose Set Tempo event the layout copies is re-pointed at the copy.
// False, and the track and the tempo changes left as they were, when the layout would take more
// than layoutLimits allow: such a track cannot be rendered in reasonable time or memory.
bool buildRenderLayout(MidiTrack& track, int32_t trackIndex, const SlicedTrack& sliced,
                       const TrackSettings& settings, std::vector<Tempo>& tempos);

}  // namespace rendlow
