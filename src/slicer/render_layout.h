#pragma once

#include <cstddef>
#include <span>
#include <utility>
#include <vector>

#include "base/result.h"
#include "midi/song.h"
#include "midi/timed_event.h"
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

// One track of the rendering file: its events in file order, each at its absolute tick, and per
// event what the re-timing and the keysounds ask of it.
struct LaidOutTrack {
  TimedEventList events;
  std::vector<int32_t> tempoOfEvent;  // the tempo change it was read under; kNone for a preset
  std::vector<int32_t> noteOfEvent;   // the sliced track's note it starts or ends; kNone otherwise
  // The tempo changes of this track whose Set Tempo event the layout copies, each with the
  // position of the copy that stands for it (the last, when a postponed stretch copies it twice).
  std::vector<std::pair<int32_t, int32_t>> tempoCopies;

  void append(const EventContent& content, int64_t tick, int32_t tempo, int32_t note);
};

// Every track of the song laid out for rendering, in song order.
struct RenderingLayout {
  std::vector<LaidOutTrack> tracks;
};

// Lays out a sliced track (`track` as read, and what the slicer made of it) for rendering: every distinct sound (every chain marked as the first
// occurrence of its sound) played once, in the order of their sound numbers, each after a gap
// of `noteInterval` ticks and preceded by controller presets that restore the values it started
// with. Events that are not notes travel along at their song distances. `trackIndex` is the
// track's position in the song; its tempo changes in `tempos` tell which copies stand for them.
// A problem that says why and what to change when the layout would take more than layoutLimits
// allow: such a track cannot be rendered in reasonable time or memory.
Result<LaidOutTrack> layOutTrack(const MidiTrack& track, const SlicedTrack& sliced, int32_t trackIndex,
                                 const TrackSettings& settings, std::span<const Tempo> tempos);

// A track that is not converted, as the re-timing sees it: its events as read, at their ticks.
LaidOutTrack trackAsRead(const MidiTrack& track);

}  // namespace rendlow
