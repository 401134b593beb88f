#include "support/whole_job.h"

#include "app/load_flow.h"

namespace rendlow::test {

OutputResult runWholeJob(Application& app, TestForm& form, const std::string& input,
                         const std::string& outputPath, const JobSetup& setup) {
  loadFile(app, form, input);
  for (const RowEdit& edit : setup.edits) {
    TrackSettings settings;
    if (!app.getRowSettings(edit.row, settings)) continue;
    edit.change(settings);
    app.applyRowSettings(edit.row, settings);
  }
  if (!outputPath.empty()) form.setText(control::kOutputFile, outputPath);
  for (const auto& [id, text] : setup.boxes) form.setText(id, text);
  return runOutput(app, form, setup.button != OutputButton::SettingsOnly,
                   setup.button == OutputButton::MidiAndChart);
}

}  // namespace rendlow::test
