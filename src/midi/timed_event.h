#pragma once

// An event of the rendering file: what the event is and the one absolute tick it is written at.
// The distances between events (the file's deltas) are worked out only when the file is written.

#include <cstdint>
#include <vector>

#include "midi/song.h"

namespace rendlow {

struct TimedEvent : EventContent {
  // 64 bits: a layout may run past the largest tick a file can hold, and the writer must see by
  // how much to refuse it.
  int64_t tick = 0;
};

using TimedEventList = std::vector<TimedEvent>;

}  // namespace rendlow
