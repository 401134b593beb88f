#pragma once

// The slicing stages written as plainly as they are described, step by step and without any
// index or shortcut: forward walks for note-offs, repeated searches for sorting, the backward
// scan over every earlier note for numbering, chain walks for every layout decision. Slow on
// purpose; the differential test holds the engine to the same results.

#include "midi/song.h"
#include "slicer/note.h"

namespace rendlow::test::reference {

MidiEvent* findNoteOff(MidiEvent& noteOn);
void sortEventsByIndex(MidiTrack& track);
bool sameNote(Note& later, Note& earlier, MidiTrack& track);
bool sameSound(Note& note, Note& earlier, MidiTrack& track);
void numberDefinitions(MidiTrack& track);
void extractNotes(MidiTrack& track);
EventList buildRenderLayout(MidiTrack& track);

}  // namespace rendlow::test::reference
