#pragma once

// An author's chart of one format as a chart of the other, for the merge of the format the song is
// now written in to take its work in (see mergeBmsChart, mergeBmsonChart): a song whose chart moves
// from ".bme" to bmson, or back, keeps the notes its author placed. What crosses is what both
// formats hold alike: objects in the playable lanes of a 7-key chart of either side with their long
// notes, the author's own sounds with their objects, the header texts and the level. The rest
// (BGA, mines, invisible notes, other header commands, stops) has no place in the other format; it
// is counted, and stays in the chart as it was, which is kept.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "bms/measure_grid.h"

namespace rendlow {

struct TranslatedChart {
  std::string text;
  int32_t notCarried = 0;  // lines, fields and objects with no place in the other format
};

// A ".bme" text as bmson. `grid` is the song's, which places a measure's objects at their ticks;
// a file named for a definition name of `soundNames` is one of the program's sounds, whose
// background objects are the new chart's and do not cross.
TranslatedChart bmsonFromBmsChart(std::string_view bmsText, const MeasureGrid& grid,
                                  std::span<const std::string> soundNames);

// A bmson text as ".bme", alike. A text that is not a bmson chart gives an empty one.
TranslatedChart bmsChartFromBmson(std::string_view bmsonText, const MeasureGrid& grid,
                                  std::span<const std::string> soundNames);

}  // namespace rendlow
