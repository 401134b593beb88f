#pragma once

// The whole job the command line runs, and the tests and the fuzz target with it: load an input,
// edit its rows, write the outputs.

#include <optional>
#include <string>
#include <vector>

#include "app/output_flow.h"
#include "app/row_edit.h"
#include "base/result.h"

namespace rendlow {

class Application;
class Form;

// Which of the form's three output buttons the job presses.
enum class JobOutput {
  MidiAndChart,  // "Midi&&BMS出力"
  MidiOnly,      // "Midi出力"
  SettingsOnly,  // "設定保存"
};

struct JobRequest {
  std::string input;  // a MIDI file, or a settings file that names one
  std::vector<RowEdit> edits;
  std::optional<std::string> outputPath;  // instead of the name the load proposes
  std::optional<std::string> genre;       // the chart header texts, instead of the loaded ones
  std::optional<std::string> title;
  std::optional<std::string> artist;
  JobOutput output = JobOutput::MidiAndChart;
  // A MIDI file whose settings file lies beside it, naming this very MIDI file, is loaded through
  // that settings file, so a second run keeps the setup the first one saved.
  bool useSavedSettings = true;
};

struct JobReport {
  std::optional<std::string> savedSettings;  // the settings file loaded in place of the MIDI file
  OutputResult output;
};

// Loads the input as the load flow does (through its saved settings, see useSavedSettings),
// applies each edit to its row through applyRowSettings (as the form's update button does, every
// field it does not name kept), puts the output path and the header texts into their boxes, then
// runs the output flow. Fails, with nothing written, when the input cannot be loaded or an edit
// names a row the song does not have.
Result<JobReport> runJob(Application& app, Form& form, const JobRequest& request);

}  // namespace rendlow
