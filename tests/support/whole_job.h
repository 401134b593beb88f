#pragma once

// The whole job as an author runs it in the desktop program: load a file, edit rows, press an
// output button. Used by the tests of the outputs, the golden files and the benchmarks.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/output_flow.h"
#include "support/test_form.h"

namespace rendlow::test {

// One edit of the track table: row `row` gets its current settings changed by `change`, then
// applied as the form's update button applies them.
struct RowEdit {
  int row = 0;
  std::function<void(TrackSettings&)> change;
};

enum class OutputButton { Midi, MidiAndChart, SettingsOnly };

// What the author does between loading and pressing the button.
struct JobSetup {
  std::vector<RowEdit> edits;
  std::map<int, std::string> boxes;  // texts typed into boxes after loading (genre, title, ...)
  OutputButton button = OutputButton::MidiAndChart;
};

// Loads `input` (a MIDI file or a settings file), applies the setup's edits, puts `outputPath`
// in the output-file box (when not empty) and the setup's texts in their boxes, and presses the
// setup's button.
OutputResult runWholeJob(Application& app, TestForm& form, const std::string& input,
                         const std::string& outputPath, const JobSetup& setup = {});

}  // namespace rendlow::test
