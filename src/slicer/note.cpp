#include "slicer/note.h"

namespace rendlow {

Note::~Note() {
  std::shared_ptr<Note> next = std::move(chainNext);
  // Only a note this chain alone keeps alive would be destroyed with it; detach its successor
  // first so that its destructor has nothing left to release.
  while (next && next.use_count() == 1) {
    std::shared_ptr<Note> after = std::move(next->chainNext);
    next = std::move(after);
  }
}

void Note::appendToChain(const std::shared_ptr<Note>& note) {
  Note* last = this;
  while (last->chainNext) last = last->chainNext.get();
  last->chainNext = note;
  note->chainPrev = last->weak_from_this();
}

std::shared_ptr<Note> Note::chainHead() {
  std::shared_ptr<Note> head = shared_from_this();
  while (auto prev = head->chainPrev.lock()) head = std::move(prev);
  return head;
}

int32_t Note::chainLength() {
  int32_t length = 0;
  for (const Note* n = chainHead().get(); n; n = n->chainNext.get()) ++length;
  return length;
}

bool Note::chainContains(const Note& note) const {
  for (const Note* n = this; n; n = n->chainNext.get()) {
    if (n == &note) return true;
  }
  return false;
}

std::shared_ptr<MidiEvent> Note::lastNoteOff() const {
  std::shared_ptr<MidiEvent> last;
  for (const Note* n = this; n; n = n->chainNext.get()) {
    if (n->noteOff && (!last || n->noteOff->index > last->index)) last = n->noteOff;
  }
  return last;
}

void Note::assignDefinition(int32_t newDefinition, int32_t newSound, bool newFirstOccurrence,
                            int32_t newVariant) {
  for (Note* n = chainHead().get(); n; n = n->chainNext.get()) {
    n->definition = newDefinition;
    n->sound = newSound;
    n->firstOccurrence = newFirstOccurrence;
    n->variant = newVariant;
  }
}

}  // namespace rendlow
