#include "slicer/note.h"

namespace rendlow {

int32_t lastNoteOff(const std::vector<Note>& notes, int32_t first) {
  int32_t last = kNone;
  for (int32_t n = first; n != kNone; n = notes[static_cast<std::size_t>(n)].chainNext) {
    const int32_t off = notes[static_cast<std::size_t>(n)].noteOff;
    if (off != kNone && off > last) last = off;
  }
  return last;
}

void takeNumbers(std::vector<Note>& notes, std::span<const NoteNumbers> numbers) {
  for (std::size_t i = 0; i < notes.size(); ++i) {
    Note& note = notes[i];
    note.definition = numbers[i].definition;
    note.sound = numbers[i].sound;
    note.variant = numbers[i].variant;
    note.firstOccurrence = numbers[i].firstOccurrence;
  }
}


}  // namespace rendlow
