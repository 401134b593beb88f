#pragma once

// Whether two occurrences in one track would sound alike, so that they can be played from one
// rendered sound file. The track's settings shape the test: velocity and controller buckets,
// the tempo, and the controller sampling step.

#include <cstdint>
#include <span>

#include "midi/song.h"
#include "slicer/note.h"
#include "slicer/track_settings.h"

namespace rendlow {

// The velocity bucket of a note: velocities are compared in buckets of the track's width, all
// in one bucket when the width is below 1.
int32_t velocityBucket(int32_t velocity, const TrackSettings& settings);

// The length bucket of a note: lengths in ticks are compared in buckets of the track's length
// width, each length its own bucket when the width is below 1.
int32_t lengthBucket(int32_t duration, const TrackSettings& settings);

// The comparisons over one extracted track: its events in the slicer's order (the controller
// changes a note meets), its notes' controller states, its settings and the song's tempo changes.
class SoundComparison {
public:
  SoundComparison(const SlicedEvents& events, const SlicedTrack& sliced, const TrackSettings& settings,
                  std::span<const Tempo> tempos)
      : events_(events), sliced_(sliced), settings_(settings), tempos_(tempos) {}

  const TrackSettings& settings() const { return settings_; }

  // `later` is the note being numbered, `earlier` a note before it in the track. Not symmetric:
  // the controller test lets the later note's changes on its own start tick count at the start.
  bool sameNote(const Note& later, const Note& earlier) const;

  // Whether `chain` makes the same sound as `earlierChain` (each head first): equally long, and
  // every note of the first alike to a note at the same distance from the head in the second.
  bool sameSound(std::span<const Note> chain, std::span<const Note> earlierChain) const;

  // The tempo a note started under; none when the note has no live tempo link.
  const Tempo* tempoOf(const Note& note) const;

  // A digest of the controller buckets (value / width, over the note's state in ascending
  // controller number) that the controller test compares at the note's start, with the note
  // taking the later or the earlier side of the comparison. Notes whose buckets agree there
  // have equal digests; unequal buckets may, rarely, share one.
  uint64_t startControllerDigest(const Note& note, bool asLater) const;

private:
  bool sameControllers(const Note& later, const Note& earlier) const;

  SlicedEvents events_;
  const SlicedTrack& sliced_;
  const TrackSettings& settings_;
  std::span<const Tempo> tempos_;
};

}  // namespace rendlow
