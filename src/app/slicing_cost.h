#pragma once

// What one track's slicing gives the chart and what it costs the song, measured on a plan of the
// track (sliced and numbered, nothing laid out or written): the #WAV ids it takes, and how far the
// sounds the chart plays stray from the notes they stand for.

#include <cstddef>
#include <cstdint>
#include <span>

#include "midi/song.h"
#include "slicer/note.h"
#include "slicer/track_settings.h"

namespace rendlow {

struct SlicingMeasure {
  int32_t definitions = 0;  // the track's #WAV ids, its gap aside
  // Summed over the notes: how far each note's sound, as first rendered, strays from the note, in
  // dB. Velocity and the loudness controllers as amplitude, the length in seconds as a ratio, other
  // controllers by their distance, and a sound cut off by the next start of its own id as the
  // part of it that is lost.
  double mismatchDb = 0;
  std::size_t notes = 0;
};

// Slices and numbers the track with `settings` and measures what that gives.
SlicingMeasure measureSlicing(const MidiTrack& track, const TrackSettings& settings,
                              std::span<const Tempo> tempos);

// The measure of a track already sliced with `settings`.
SlicingMeasure measureSliced(const MidiTrack& track, const SlicedTrack& sliced,
                             std::span<const Tempo> tempos);

}  // namespace rendlow
