#pragma once

// Converted tracks made by hand, as the slicing engine would leave them: events as read in
// `originalEvents`, note-ons linked to numbered notes, chord and legato members chained to their
// head, tempo events linked to their tempo records.

#include <cstdint>
#include <memory>

#include "app/project.h"
#include "slicer/note.h"

namespace rendlow::test {

class ConvertedTrack {
public:
  explicit ConvertedTrack(Project& project, const std::string& definitionName = "tr");

  // A note-on at `tick` (and its note-off `length` ticks later, added by finish) numbered as given.
  std::shared_ptr<Note> note(int32_t tick, int32_t definition, int32_t sound, int32_t voice = 0,
                             int32_t length = 120);
  // A note joined to the chain of `head` (not a head itself).
  std::shared_ptr<Note> member(const std::shared_ptr<Note>& head, int32_t tick, int32_t length = 120);
  // A Set Tempo event with a new tempo record appended to project.tempos.
  std::shared_ptr<Tempo> tempo(int32_t tick, float bpm);

  // Sorts the events by tick (note-offs after note-ons of the same tick) and numbers them.
  std::shared_ptr<MidiTrack> finish();

  std::shared_ptr<MidiTrack> track;

private:
  std::shared_ptr<MidiEvent> noteEvent(int32_t tick, EventKind kind, int pitch, int velocity);

  Project& project_;
  int pitch_ = 60;
};

}  // namespace rendlow::test
