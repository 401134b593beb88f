#include "slicer/chain_table.h"

namespace rendlow {

ChainTable::ChainTable(const std::vector<std::shared_ptr<Note>>& notes) {
  members_.reserve(notes.size());
  chainStart_.push_back(0);
  for (const auto& note : notes) {
    if (!note->isHead()) continue;
    for (const Note* n = note.get(); n; n = n->chainNext.get()) members_.push_back(n);
    chainStart_.push_back(members_.size());
  }
}

}  // namespace rendlow
