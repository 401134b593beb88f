#include "slicer/chain_table.h"

namespace rendlow {

ChainTable::ChainTable(const std::vector<std::shared_ptr<Note>>& notes) {
  members_.reserve(notes.size());
  places_.reserve(notes.size());
  chainStart_.push_back(0);
  for (const auto& note : notes) {
    if (!note->isHead()) continue;
    const auto id = static_cast<int32_t>(chainStart_.size() - 1);
    int32_t position = 0;
    for (const Note* n = note.get(); n; n = n->chainNext.get()) {
      members_.push_back(n);
      places_.emplace(n, Place{id, position++});
    }
    chainStart_.push_back(members_.size());
  }
}

ChainTable::Place ChainTable::placeOf(const Note* note) const {
  const auto found = places_.find(note);
  return found == places_.end() ? Place{} : found->second;
}

bool ChainTable::reaches(const Note* from, const Note* note) const {
  if (from == note) return true;
  const Place a = placeOf(from);
  const Place b = placeOf(note);
  return a.chain >= 0 && a.chain == b.chain && b.position >= a.position;
}

}  // namespace rendlow
