#pragma once

// The slicing stages written as plainly as they are described, step by step and without any
// index or shortcut: forward walks for note-offs, a repeated search for sorting, the backward
// scan over every earlier note for numbering, chain walks for every layout decision. Slow on
// purpose; the differential test holds the engine to the same results.

#include <map>
#include <span>
#include <vector>

#include "midi/song.h"
#include "slicer/track_settings.h"

namespace rendlow::test::reference {

struct Note {
  int32_t on = 0, off = 0;  // positions in the extracted events
  int32_t tick = 0, duration = 0, pitch = 0, velocity = 0, voice = 0;
  std::map<int32_t, int32_t> controllers;  // every controller of the track when the note started
  int32_t prev = kNone, next = kNone;
  int32_t definition = -1, sound = -1, variant = 0;
  bool firstOccurrence = false;
};

struct Track {
  EventList events;
  std::vector<Note> notes;
};

Track extractNotes(const MidiTrack& track, const TrackSettings& settings, std::span<const Tempo> tempos);

// The layout, and for each tempo change of this track that the layout copies, the position of
// its last copy.
EventList buildRenderLayout(const Track& track, int32_t trackIndex, const TrackSettings& settings,
                            std::span<const Tempo> tempos, std::map<int32_t, int32_t>& followedTempos);

}  // namespace rendlow::test::reference
