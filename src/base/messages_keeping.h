#pragma once

// What the author is told when a new chart keeps the work done on the old one.

#include <cstdint>
#include <string>

#include "base/message.h"

namespace rendlow {

// What was kept, in counts: objects of the program's sounds in lanes (moved to the new sounds, left
// out), notes of moved objects left in the background by a finer slicing, header and BGA lines.
struct KeptWorkCounts {
  int32_t laneObjects = 0;
  int32_t moved = 0;
  int32_t leftOut = 0;
  int32_t splitNotesInBackground = 0;
  int32_t headerLines = 0;
  int32_t bgaLines = 0;
};

// "Kept your chart work: …; the chart as it was: song_out.bme.bak".
Message chartWorkKeptMessage(const KeptWorkCounts& counts, const std::string& backup);
// The chart was made from the song alone, as asked; the one it replaced is kept.
Message freshChartKeptMessage(const std::string& backup);
// One object left out: where it stood.
Message leftOutObjectLine(int32_t measure, const std::string& channel, int32_t slot, int32_t slots);
// The objects left out are listed in a file.
Message leftOutListedMessage(const std::string& listPath);
// The chart was not replaced, as the old one could not be kept.
Message chartBackupFailedReason(const std::string& backup, const Message& reason);
// The author's own sounds keep their ids, and the program's ids passing over them run past ZZ.
Message authorSoundsPushIdsPastLimitMessage(int32_t authorIds, int32_t largest, int32_t limit);

// A chart of the other format was taken into the new one and taken away; `notCarried` lines and
// objects of it had no place in the new format and are in its backup alone.
Message otherFormatChartTakenMessage(const std::string& oldChart, const std::string& newChart, int32_t notCarried);
// The chart of the other format was taken away, the new chart made from the song alone.
Message otherFormatChartRemovedMessage(const std::string& oldChart);
// The chart of the other format, taken in, could not be taken away.
Message otherFormatChartStaysMessage(const std::string& oldChart);
// A chart of the other format stands beside the one written, and plays an earlier conversion's sounds.
Message otherFormatChartBesideMessage(const std::string& otherChart, const std::string& chart);

}  // namespace rendlow
