#pragma once

// A new conversion's bmson chart with the author's work on the old one kept, as mergeBmsChart does
// for a .bme: notes the author placed in lanes play their note's new sound with their lane and
// length, and what the program does not write (level, subtitle, BGA, stops, scrolls, mines, the
// author's own sounds, fields of other programs) stays as it stood.

#include <span>
#include <string>
#include <string_view>

#include "bms/chart.h"
#include "bms/chart_merge.h"
#include "bms/measure_grid.h"
#include "midi/song.h"

namespace rendlow {

// The header texts of a bmson chart (info.genre, title and artist) in the program's texts, each
// empty where the chart has none or holds a character outside ASCII (the chart keeps such a text
// itself: see mergeBmsonChart).
ChartHeader bmsonHeaderTexts(std::string_view chartText);

// The bmson text of `chart` (see formatBmsonChart) with the author's work on `oldText` kept:
// - each note with x > 0 in a channel of the program's sounds (see definitionNameOfSoundFile) is
//   claimed by the new chart's note of its track at its tick (the lowest when several sound
//   there), moves into that note's channel with its own x, l and c, and takes the place of that
//   note's background note; a note whose note is gone is left out;
// - a channel of a sound of the author's own is kept whole, after the program's;
// - info fields but the texts, init_bpm and resolution keep the author's value, a header text
//   the new chart leaves empty the chart's; any other field but the version, bar lines and tempo
//   changes keeps the author's value.
// A text that is not a JSON object keeps nothing; neither does a chart holding nothing of the
// author's, which comes out exactly as formatBmsonChart writes it.
MergedChart mergeBmsonChart(std::string_view oldText, const Chart& chart, const Song& song,
                            const MeasureGrid& grid, const ChartHeader& header,
                            std::span<const std::string> soundNames);

}  // namespace rendlow
