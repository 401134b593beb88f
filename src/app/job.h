#pragma once

// The whole job the command line runs, and the tests and the fuzz target with it: load an input,
// edit its rows, write the outputs.

#include <optional>
#include <string>
#include <vector>

#include "app/fit.h"
#include "app/keysounds.h"
#include "app/output_flow.h"
#include "app/row_edit.h"
#include "base/result.h"

namespace rendlow {

class Application;
class Form;

struct JobRequest {
  std::string input;  // a MIDI file, or a settings file that names one
  std::vector<RowEdit> edits;
  // Each is cut as a box of the form cuts its text (see boundedText).
  std::optional<std::string> outputPath;  // instead of the name the load proposes
  std::optional<std::string> genre;       // the chart header texts, instead of the loaded ones
  std::optional<std::string> title;
  std::optional<std::string> artist;
  // The chart's format, instead of the one the output name asks for: without -o, the loaded
  // settings file's output name, so a second run writes the same kind of chart.
  std::optional<ChartFormat> chartFormat;
  OutputChoice output = OutputChoice::MidiAndChart;
  // A MIDI file whose settings file lies beside it, naming this very MIDI file, is loaded through
  // that settings file, so a second run keeps the setup the first one saved.
  bool useSavedSettings = true;
  // A .bme chart that would need more #WAV ids than ZZ is made with the finest slicing that fits
  // (see fitChartIds); the fitted settings are saved like any edit.
  bool fit{};
  // The chart from the song alone, not taking in the author's work on the one it replaces.
  bool freshChart{};
  // The chart's sound files, made once the chart is written; their inputs are checked before any
  // file of the job is.
  std::optional<KeysoundRequest> keysounds;
};

struct JobReport {
  std::optional<std::string> savedSettings;  // the settings file loaded in place of the MIDI file
  Result<OutputResult> output;               // a problem when the output wrote nothing
  std::optional<FitResult> fit;              // what the fit changed, when one was asked and needed
  // The sound files, when they were asked and their chart was written: a problem when they
  // could not all be made, the chart and its pair standing all the same.
  std::optional<Result<KeysoundReport>> keysounds;
};

// The settings file saved beside a MIDI file for that very file: the one its "i" line names.
// Nothing for a settings file given as input, or when there is none. One that is there but cannot
// be read is given all the same, so the load tells why: started from the defaults, the output
// would replace the author's setup.
std::optional<std::string> savedSettingsFor(const std::string& input);

// Loads the input as the load flow does (through its saved settings, see useSavedSettings),
// applies each edit to its row through applyRowSettings (as the form's update button does, every
// field it does not name kept), then runs the output flow with the request's output path and
// header texts, or the ones the load proposed. With `fit`, a .bme chart past ZZ ids is first fitted.
// With `keysounds` and a chart asked for, their inputs are checked before the output, and the
// sounds made once the chart is written. Fails, with nothing written, when the input cannot be
// loaded, an edit names a row the song does not have, no slicing fits, or an input of the sounds
// is not there.
Result<JobReport> runJob(Application& app, Form& form, const JobRequest& request);

}  // namespace rendlow
