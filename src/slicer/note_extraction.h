#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "base/diagnostics.h"
#include "midi/song.h"
#include "slicer/note.h"
#include "slicer/track_settings.h"

namespace rendlow {

// Pairs every note-on of the track with the event that ends it into a Note, records the
// controller values in effect at each note's start, groups the notes into chains by the track's
// split method, puts note-offs that end together inside a chain in rising-pitch order, and
// numbers the chains. A note-on that nothing ends is first ended where the track ends. Takes the
// track as read; gives the sliced track, whose order names the track's events in their new order,
// each note's events linked to it. Writes a "NoteOn" line per note to the diagnostics.
// `tempos` are the song's tempo changes, which the sound comparison reads.
SlicedTrack extractNotes(const MidiTrack& track, const TrackSettings& settings, std::span<const Tempo> tempos,
                         Diagnostics& diagnostics);

// For each event of the list, in list order: when it starts a note, the position in the list of
// the first event after it that ends a note of the same note number (on any channel); otherwise,
// and when there is none, kNone. One pass over the list for all note-ons at once.
std::vector<int32_t> findNoteOffs(const EventList& events);

}  // namespace rendlow
