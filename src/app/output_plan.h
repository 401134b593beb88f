#pragma once

// The first half of an output: everything that can be known and checked before a file is
// written. Which files, whether they may be written at all, the conversion, the bytes of the
// rendering MIDI file and the chart's text, or why either cannot be had.

#include <optional>
#include <string>

#include "app/paths.h"
#include "base/notices.h"
#include "base/result.h"
#include "bms/chart.h"
#include "midi/song.h"

namespace rendlow {

class Application;

// Which of the form's three output buttons the user pressed.
enum class OutputChoice {
  MidiAndChart,  // "Midi&&BMS出力"
  MidiOnly,      // "Midi出力"
  SettingsOnly,  // "設定保存"
};

// What the user asks of an output, as values: read from the form's boxes by the desktop program,
// taken from the options by the command line.
struct OutputRequest {
  std::string renderingPath;
  ChartHeader header;
  OutputChoice choice = OutputChoice::MidiAndChart;
};

struct OutputPlan {
  OutputChoice choice = OutputChoice::MidiAndChart;
  OutputPaths paths;
  // The rendering MIDI file's bytes, or why it cannot be made; none when only the settings are saved.
  std::optional<Result<std::string>> rendering;
  // The chart's text, or why a limit leaves it out; none when no chart is written.
  std::optional<Result<std::string>> chart;
  // Set when the chart was asked for and a limit leaves it out: the rendering file is only ever
  // written with its chart, so then neither is, and the settings file alone is saved. Says why.
  std::optional<Message> pairRefusal;
  // Set when that limit is the .bme chart's #WAV ids, which a coarser slicing may bring within ZZ.
  bool wavIdsPastLimit = false;
  // What the author must read once the rendering file stands: damage read past, a song without
  // notes, a re-timing that did not settle.
  Notices warnings;
};

// Takes the chart header texts into the project, then checks that the files to write are
// different files and none of them the input MIDI file (by identity where they exist), and that
// none would take the place of a folder, a device or a read-only file. For an output of the song,
// also that the song read at load, and that no two converted tracks share a definition name; then
// converts the song as read with the settings as they stand (a track too complex to lay out stops
// it), encodes the rendering file and formats the chart; a chart past a limit of its format
// refuses the rendering file with it (see pairRefusal). When the song's folder is read-only and the
// rendering file goes to another folder, the settings file goes beside it, with a warning that says
// where. A problem means nothing may be written,
// and says why.
Result<OutputPlan> planOutput(Application& app, const OutputRequest& request);

// What a damaged file lost, one line per damage; the song has at least one.
Message damageReport(const Song& song);

}  // namespace rendlow
