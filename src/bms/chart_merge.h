#pragma once

// A new conversion's chart with the author's work on the old one kept: the chart is where an
// author's charting begins (notes moved into lanes, header commands, BGA), and a new slicing must
// not take it away. The new chart owns its sounds' definitions, the background channel, the measure
// lengths and the tempo; everything else of the old chart stays as it stood, in its order, and each
// object the author moved from the background into a lane plays its note's new sound.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "bms/chart.h"
#include "bms/measure_grid.h"
#include "midi/song.h"

namespace rendlow {

// An object of the old chart that cannot play the right sound any more: its note is gone (its
// track switched off, or the song changed). It lies `slot` / `slots` of the way through its measure.
struct LeftOutObject {
  int32_t measure = 0;
  std::string channel;  // as the chart spells it: "11", "D1"
  int32_t slot = 0;
  int32_t slots = 1;
};

// What was kept of the author's chart, for the author to read.
struct ChartWorkKept {
  int32_t laneObjects = 0;  // objects of the program's sounds that the author placed outside the background
  int32_t moved = 0;        // of them, those that play their note's new sound
  std::vector<LeftOutObject> leftOut;  // the others
  // Notes a moved object played together that the new slicing gives sounds of their own: the
  // object plays the lowest, and these stay in the background.
  int32_t splitNotesInBackground = 0;
  int32_t headerLines = 0;  // header commands and other lines kept, fixed values the author changed
  int32_t bgaLines = 0;     // lines of the BGA channels (04, 06, 07)

  bool anything() const { return laneObjects > 0 || headerLines > 0 || bgaLines > 0; }
};

struct MergedChart {
  std::string text;
  ChartWorkKept kept;
};

// The texts "#GENRE", "#TITLE" and "#ARTIST" of a chart, empty where it has none.
ChartHeader chartHeaderTexts(std::string_view chartText);

// The .bme text of `chart` (see formatBmsChart) with the author's work on `oldText` kept. A sound
// file of the program is one named "<name>_NN.wav" (or .ogg) for a definition name of
// `soundNames`; an id the author defined for another file keeps its objects, and the new chart's
// ids pass over it. Fails as formatBmsChart does, and when those passed-over ids take the new
// chart's ids past ZZ.
Result<MergedChart> mergeBmsChart(std::string_view oldText, Chart chart, const Song& song, const MeasureGrid& grid,
                                  const ChartHeader& header, std::span<const std::string> soundNames);

}  // namespace rendlow
