#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <unordered_map>
#include <vector>

#include "slicer/note.h"

namespace rendlow {

// The chains of a track's notes laid out as arrays, so that the numbering and the layout can ask
// "which chain, which place in it" in constant time instead of walking chain links (a legato run
// can be tens of thousands of notes long). Built once from the finished chains; read-only.
class ChainTable {
public:
  struct Place {
    int32_t chain = -1;     // chains are numbered in the order of their heads in `notes`
    int32_t position = -1;  // 0 for the head
  };

  explicit ChainTable(const std::vector<std::shared_ptr<Note>>& notes);

  std::size_t chainCount() const { return chainStart_.size() - 1; }
  // The notes of one chain, head first, in chain order.
  std::span<const Note* const> chain(std::size_t id) const {
    return {members_.data() + chainStart_[id], members_.data() + chainStart_[id + 1]};
  }
  // Where a note sits; chain -1 for a note that is not in the table.
  Place placeOf(const Note* note) const;
  // Whether `note` is `from` or reached from it along chainNext.
  bool reaches(const Note* from, const Note* note) const;

private:
  std::vector<const Note*> members_;
  std::vector<std::size_t> chainStart_;
  std::unordered_map<const Note*, Place> places_;
};

}  // namespace rendlow
