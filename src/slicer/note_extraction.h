#pragma once

#include <memory>
#include <vector>

#include "core/diagnostics.h"
#include "midi/song.h"

namespace rendlow {

// Pairs every note-on of the track with the event that ends it into a Note, records the
// controller values in effect at each note's start, groups the notes into chains by the track's
// split method, puts note-offs that end together inside a chain in rising-pitch order, and
// numbers the chains. A note-on that nothing ends is first ended where the track ends. Writes a
// "NoteOn" line per note to the diagnostics.
void extractNotes(MidiTrack& track, Diagnostics& diagnostics);

// For each event of the list, in list order: when it starts a note, the first event after it
// that ends a note of the same note number (on any channel); otherwise, and when there is none,
// empty. One pass over the list for all note-ons at once.
std::vector<std::shared_ptr<MidiEvent>> findNoteOffs(const EventList& events);

// Rebuilds the track's events in order of their `index` fields, taking index 0, 1, 2, ... and
// stopping at the first index no event carries. Indexes and neighbour links are left as they are.
void sortEventsByIndex(MidiTrack& track);

}  // namespace rendlow
