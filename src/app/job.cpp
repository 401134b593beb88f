#include "app/job.h"

#include "app/application.h"
#include "app/form.h"
#include "app/load_flow.h"
#include "app/paths.h"
#include "app/settings_file.h"
#include "base/messages.h"

namespace rendlow {

namespace {

// Each edit starts from the row's settings as they stand, so it changes its one field only.
Result<void> applyEdits(Application& app, const std::vector<RowEdit>& edits) {
  for (const RowEdit& edit : edits) {
    const std::size_t rows = app.rowSettings.size();
    if (static_cast<std::size_t>(edit.row) >= rows) return Problem{noSuchRowMessage(edit.row, rows)};
    TrackSettings record = app.rowSettings[static_cast<std::size_t>(edit.row)];
    applyRowEdit(edit, record);
    app.applyRowSettings(edit.row, record);
  }
  return {};
}

void fillBoxes(Form& form, const JobRequest& request) {
  if (request.outputPath) form.setText(Box::OutputFile, *request.outputPath);
  if (request.genre) form.setText(Box::Genre, *request.genre);
  if (request.title) form.setText(Box::Title, *request.title);
  if (request.artist) form.setText(Box::Artist, *request.artist);
}

// The settings file saved beside a MIDI file for that very file: the one its "i" line names.
// Nothing for a settings file given as input, or when there is none.
std::optional<std::string> savedSettingsFor(const std::string& input) {
  if (isSettingsFilePath(input)) return std::nullopt;
  const std::string path = settingsPathFor(input);
  const Result<SettingsFileContents> settings = loadSettings(path);
  if (!settings || !namesSameFile(settings->inputPath, input)) return std::nullopt;
  return path;
}

}  // namespace

Result<JobReport> runJob(Application& app, Form& form, const JobRequest& request) {
  JobReport report;
  if (request.useSavedSettings) report.savedSettings = savedSettingsFor(request.input);
  if (Result<void> loaded = loadFile(app, form, report.savedSettings.value_or(request.input)); !loaded)
    return loaded.problem();
  if (Result<void> edited = applyEdits(app, request.edits); !edited) return edited.problem();
  fillBoxes(form, request);
  const bool writeMidi = request.output != JobOutput::SettingsOnly;
  report.output = runOutput(app, form, writeMidi, request.output == JobOutput::MidiAndChart);
  return report;
}

}  // namespace rendlow
