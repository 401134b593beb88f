#pragma once

// The names the program gives its files, all derived from the paths the user chose (taken apart
// as base/path_names.h does), and the paths a settings file keeps.

#include <optional>
#include <string>
#include <string_view>

#include "base/path_names.h"
#include "bms/chart.h"

namespace rendlow {

// The settings file of a MIDI file: its stem and ".txt".
std::string settingsPathFor(std::string_view midiPath);

// The rendering MIDI file proposed for an input-file box text: its stem and "_out.mid", cut to
// 511 bytes. Empty for an empty text.
std::string outputNameFor(std::string_view inputText);

// The rendering MIDI file an output name stands for: a name that ends in a separator is a folder,
// and the file is the one outputNameFor proposes for `inputPath`, inside that folder.
std::string renderingPathFor(std::string_view outputName, std::string_view inputPath);

// The chart of a rendering MIDI file: its stem and ".bme". Nothing for an empty path, which
// names no file.
std::optional<std::string> chartPathFor(std::string_view outputPath);

// An output name (the output box, -o, a settings file's "o" line) names the rendering MIDI file,
// or, ending in ".bmson" (letter case aside), a bmson chart whose rendering file is beside it as
// its stem and ".mid". The format of the chart that name asks for:
ChartFormat chartFormatOf(std::string_view outputName);
// `outputName` asking for a chart of `format`: a bmson name for bmson, the rendering file's name
// (a bmson name's stem and ".mid") for a ".bme".
std::string withChartFormat(std::string_view outputName, ChartFormat format);

// Every file an output of `inputPath` to `outputName` writes. The chart is there only when asked
// for and when the name names a file: beside the rendering file, its stem and ".bme", or the bmson
// chart the name names.
struct OutputPaths {
  std::string named;  // the output name as given, which the settings file keeps
  std::string rendering;
  std::string settings;
  std::optional<std::string> chart;
  ChartFormat chartFormat = ChartFormat::Bme;
};
OutputPaths outputPathsFor(std::string_view inputPath, std::string_view outputName, bool withChart);

// Where the chart of the other format would stand beside the one at `chartPath`: "song_out.bmson"
// for "song_out.bme", and the reverse.
std::string otherFormatChartPath(std::string_view chartPath, ChartFormat format);

// True when the file `path` names looks like a rendering MIDI file the program wrote: its name
// ends in "_out.mid", letter case aside.
bool looksLikeRenderingFile(std::string_view path);

// True when the load flow reads `path` as a settings file: the four bytes from its last "."
// (searched as text of the system code page) are ".txt", in lower case.
bool isSettingsFilePath(std::string_view path);

// A path as a settings file keeps it, read back: one that is not absolute is taken from the
// settings file's folder, `folder` (see folderOf), not from the working folder.
std::string resolveFrom(std::string_view folder, std::string_view path);

// A path as a settings file in `folder` keeps it: relative to that folder when the file lies
// inside it, absolute otherwise, so the settings file can be loaded from anywhere.
std::string keptFrom(std::string_view folder, std::string_view path);

// Whether two paths name one file: the same existing file by identity, or the same spelling
// once made absolute (for files not written yet). An empty path names no file.
bool namesSameFile(const std::string& a, const std::string& b);

}  // namespace rendlow
