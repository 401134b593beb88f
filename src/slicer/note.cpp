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

void assignDefinition(std::vector<Note>& notes, int32_t head, int32_t definition, int32_t sound,
                      bool firstOccurrence, int32_t variant) {
  for (int32_t n = head; n != kNone; n = notes[static_cast<std::size_t>(n)].chainNext) {
    Note& note = notes[static_cast<std::size_t>(n)];
    note.definition = definition;
    note.sound = sound;
    note.firstOccurrence = firstOccurrence;
    note.variant = variant;
  }
}

}  // namespace rendlow
