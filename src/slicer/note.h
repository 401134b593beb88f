#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include "midi/song.h"

namespace rendlow {

// One sounding note: a note-on and the event that ends it. Notes that are heard as one sound
// (a chord, a legato run) form a chain: the head owns the rest through `chainNext`.
struct Note : std::enable_shared_from_this<Note> {
  std::shared_ptr<MidiEvent> noteOn;
  std::shared_ptr<MidiEvent> noteOff;
  std::shared_ptr<Note> chainNext;
  std::weak_ptr<Note> chainPrev;
  std::map<int32_t, int32_t> controlState;  // controller number -> value when the note started
  int32_t duration = 0;
  int32_t pitch = 0;
  int32_t velocity = 0;
  int32_t definition = -1;
  int32_t sound = -1;
  int32_t variant = 0;
  bool firstOccurrence = false;
  int32_t voice = 0;

  Note() = default;
  Note(const Note&) = delete;
  Note& operator=(const Note&) = delete;
  // Releases the rest of the chain link by link: a legato run of tens of thousands of notes is
  // one chain, and letting each note release the next would take a stack frame per note.
  ~Note();

  bool isHead() const { return chainPrev.expired(); }

  void appendToChain(const std::shared_ptr<Note>& note);
  std::shared_ptr<Note> chainHead();
  int32_t chainLength();
  bool chainContains(const Note& note) const;
  // Among this note and the notes after it in the chain, the note-off with the highest index.
  std::shared_ptr<MidiEvent> lastNoteOff() const;
  // Sets the four numbers on every note of this note's chain.
  void assignDefinition(int32_t definition, int32_t sound, bool firstOccurrence, int32_t variant);
};

}  // namespace rendlow
