#pragma once

// Whether two occurrences in one track would sound alike, so that they can be played from one
// rendered sound file. The track's settings shape the test: velocity and controller buckets,
// the tempo, and the controller sampling step.

#include <cstdint>
#include <span>
#include <vector>

#include "midi/song.h"
#include "slicer/note.h"

namespace rendlow {

// The velocity bucket of a note: velocities are compared in buckets of the track's width, all
// in one bucket when the width is below 1.
int32_t velocityBucket(int32_t velocity, const TrackSettings& settings);

// `later` is the note being numbered, `earlier` a note before it in the track. Not symmetric:
// the controller test lets the later note's changes on its own start tick count at the start.
bool sameNote(const Note& later, const Note& earlier, const MidiTrack& track);

// Whether the chain of `note` makes the same sound as the chain of `earlier`: equally long, and
// every note of the first chain alike to a note at the same distance from the head in the second.
bool sameSound(const Note& note, const Note& earlier, const MidiTrack& track);

// sameSound for chains already collected, head first.
bool sameChainSound(std::span<const Note* const> chain, std::span<const Note* const> earlierChain, const MidiTrack& track);

// The controller buckets (value / width, in ascending controller number over the note's
// snapshot) that the controller test compares at the note's start, with the note taking the
// later side or the earlier side of the comparison.
std::vector<int32_t> startControllerBuckets(const Note& note, bool asLater, int32_t width);

}  // namespace rendlow
