#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "slicer/note.h"

namespace rendlow {

// The chains of a track's notes laid out as arrays, heads in the order of `notes`, so that the
// numbering can take whole chains without walking chain links again and again (a legato run can
// be tens of thousands of notes long). Built once from the finished chains; read-only.
class ChainTable {
public:
  explicit ChainTable(const std::vector<std::shared_ptr<Note>>& notes);

  std::size_t chainCount() const { return chainStart_.size() - 1; }
  // The notes of one chain, head first, in chain order.
  std::span<const Note* const> chain(std::size_t id) const {
    return {members_.data() + chainStart_[id], members_.data() + chainStart_[id + 1]};
  }

private:
  std::vector<const Note*> members_;
  std::vector<std::size_t> chainStart_;
};

}  // namespace rendlow
