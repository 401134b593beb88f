#pragma once

// The first half of an output: everything that can be known and checked before a file is
// written. Which files, whether they may be written at all, the conversion, the bytes of the
// rendering MIDI file and the chart's text, or why either cannot be had. Planning changes nothing.

#include <optional>
#include <string>
#include <variant>

#include "app/chart_keeping.h"
#include "app/conversion.h"
#include "app/paths.h"
#include "base/diagnostics.h"
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
  // The chart from the song alone: the author's work on the chart it replaces is not taken in
  // (the chart as it was is still kept beside it).
  bool freshChart = false;
};

// The files an output writes, checked before anything else is done.
struct OutputTargets {
  OutputChoice choice = OutputChoice::MidiAndChart;
  OutputPaths paths;
  // The song's folder is read-only, or its settings file's name is taken by a file that is not
  // this song's settings file, and the rendering file goes to another folder: the settings file
  // goes beside it, which the author is told in these words.
  std::optional<Message> settingsBesideChart;

  bool convertsSong() const { return choice != OutputChoice::SettingsOnly; }
};

// The three ways an output can go, once its files are checked.
struct SettingsOnlyOutput {};

// The rendering file and, when asked, its chart.
struct PairOutput {
  Result<std::string> rendering;     // its bytes, or why a MIDI file cannot hold them
  std::optional<std::string> chart;  // the chart's text; none for "Midi出力"
  // The author's chart the new one replaces, to keep beside it (see chart_keeping.h).
  std::optional<ChartKeeping> keeping;
};

// The chart was asked for and a limit of its format leaves it out: the rendering file is only ever
// written with its chart, so then neither is, and the settings file alone is saved.
struct RefusedPairOutput {
  Message reason;  // the chart's refusal and the rendering file held back with it
  // The limit is the .bme chart's #WAV ids, which a coarser slicing may bring within ZZ.
  bool wavIdsPastLimit = false;
};

struct OutputPlan {
  OutputTargets targets;
  ChartHeader header;
  std::optional<Converted> converted;  // none when only the settings are saved
  std::variant<SettingsOnlyOutput, PairOutput, RefusedPairOutput> outcome;
  // What the author must read once the rendering file stands: damage read past, a song without
  // notes, a re-timing that did not settle, the settings file moved beside the chart.
  Notices warnings;
};

// Checks that the files to write are different files and none of them the input MIDI file (by
// identity where they exist), that none would take the place of a folder, a device or a
// read-only file, and that the settings file replaces only this song's (see mayHoldSettingsOf).
// When the song's folder is read-only or its settings file's name is taken, and the rendering
// file goes to another folder, the settings file goes beside it. A problem means nothing may be
// written, and says why.
Result<OutputTargets> planTargets(const Application& app, const OutputRequest& request);

// The output of checked targets. For an output of the song, checks that the song read (see
// Application::readSongForOutput, which comes first) and that no two converted tracks share a
// definition name; then converts the song as the project holds it (a track too complex to lay
// out stops it), encodes the rendering file and formats the chart; a chart past a limit of its
// format refuses the rendering file with it. A chart that replaces the author's work takes that
// work in (see mergeBmsChart), and header texts the request leaves empty from it. The conversion's diagnostics go to `diagnostics`.
// A problem means nothing may be written, and says why.
Result<OutputPlan> planOutput(const Application& app, const OutputRequest& request,
                              const OutputTargets& targets, Diagnostics& diagnostics);

// What a damaged file lost, one line per damage; the song has at least one.
Message damageReport(const Song& song);

}  // namespace rendlow
