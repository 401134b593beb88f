#pragma once

// Writes the chart model as bmson 1.0.0, the JSON chart format that has no limit on its number of
// sounds. It carries what the ".bme" carries: the header texts, the tempo changes, the measure
// starts and every track's background objects, one sound channel per id the ".bme" would define.
// Its pulses are the song's ticks, so every object stands exactly on its note.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "bms/chart.h"
#include "bms/measure_grid.h"
#include "midi/song.h"

namespace rendlow {

// The whole bmson text, UTF-8. The header texts and sound file names are the program's code page
// 932 texts, decoded.
std::string formatBmsonChart(const Song& song, const MeasureGrid& grid, const Chart& chart,
                             const ChartHeader& header);

// The top-level fields the writer makes from the song alone; a merge keeps the author's others.
inline constexpr std::array<std::string_view, 5> kBmsonProgramFields = {"version", "info", "lines", "bpm_events",
                                                                       "sound_channels"};

// A program text as a bmson string: decoded to UTF-8, quoted, with quotes, backslashes and control
// characters escaped.
std::string bmsonString(std::string_view programText);

// The sound channels a track gives the chart, in order: one per id of the track that has objects,
// each the places in track.notes of that id's objects, in order.
std::vector<std::vector<std::size_t>> soundChannelNotes(const ChartTrack& track);

}  // namespace rendlow
