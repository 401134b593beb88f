#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace rendlow {

// Finds, for a list of tempo changes or time signatures that only grows at its end, the entry in
// effect at a tick without scanning. The entry in effect is the one a scan over the list in
// reading order returns, as timeSignatureAt does: the scan stops at the first entry whose tick lies after
// the asked tick and returns the entry before it (the first entry when it stops there at once).
// The reader asks once per event; with hundreds of tempo changes and hundreds of thousands of
// events the scan would make reading quadratic.
//
// That stop is the first position where the running maximum of the ticks passes the asked tick,
// and the running maxima never fall, so a binary search over them finds the same stop.
class InEffectIndex {
public:
  // The tick of an entry just appended to the list. Entries must not change their tick later.
  void append(int32_t tick);
  // Position in the list of the entry in effect at `tick`; empty while the list is empty.
  std::optional<std::size_t> find(int32_t tick) const;

private:
  std::vector<int32_t> runningMax_;
};

}  // namespace rendlow
