#pragma once

#include <cstddef>
#include <vector>

#include "base/diagnostics.h"
#include "midi/song.h"

namespace rendlow {

// Pairs every note-on of the track with the event that ends it into a Note, records the
// controller values in effect at each note's start, groups the notes into chains by the track's
// split method, puts note-offs that end together inside a chain in rising-pitch order, and
// numbers the chains. A note-on that nothing ends is first ended where the track ends. Writes a
// "NoteOn" line per note to the diagnostics.
void extractNotes(MidiTrack& track, Diagnostics& diagnostics);

inline constexpr std::ptrdiff_t kNoNoteOff = -1;

// For each event of the list, in list order: when it starts a note, the position in the list of
// the first event after it that ends a note of the same note number (on any channel); otherwise,
// and when there is none, kNoNoteOff. One pass over the list for all note-ons at once.
std::vector<std::ptrdiff_t> findNoteOffs(const EventList& events);

// Rebuilds the track's events in order of their `index` fields, taking index 0, 1, 2, ... and
// stopping at the first index no event carries. Indexes and neighbour links are left as they are.
void sortEventsByIndex(MidiTrack& track);

}  // namespace rendlow
