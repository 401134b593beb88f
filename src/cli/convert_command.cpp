#include "cli/convert_command.h"

#include "cli/exit_status.h"
#include "cli/input_check.h"
#include "cli/memory_form.h"
#include "core/application.h"
#include "core/load_flow.h"
#include "core/output_flow.h"

namespace rendlow::cli {

namespace {

// Each edit starts from the row's settings as they stand, so it changes its one field only.
bool applyEdits(Application& app, const std::vector<RowEdit>& edits, std::ostream& err) {
  for (const RowEdit& edit : edits) {
    const auto rows = app.rowSettings.size();
    if (static_cast<std::size_t>(edit.row) >= rows) {
      err << "rendlow-cli: --set: there is no row " << edit.row << " (the song has " << rows << " track row"
          << (rows == 1 ? "" : "s") << ")\n";
      return false;
    }
    TrackSettings record = app.rowSettings[static_cast<std::size_t>(edit.row)];
    applyRowEdit(edit, record);
    app.applyRowSettings(edit.row, record);
  }
  return true;
}

// Tells what one file came to: written (on `out`) or not, and why (on `err`).
void reportFile(const char* what, const std::optional<OutputFile>& file, std::ostream& out,
                std::ostream& err) {
  if (!file) return;
  if (file->status)
    out << what << ": " << file->path << '\n';
  else
    err << "rendlow-cli: cannot write the " << what << " \"" << file->path << "\": " << file->status.reason
        << '\n';
}

}  // namespace

int runConvert(const Options& options, std::ostream& out, std::ostream& err) {
  Application app(options.verbose ? &out : nullptr);
  MemoryForm form;
  loadFile(app, form, options.input);
  if (const auto problem = loadProblem(options.input, app)) {
    err << "rendlow-cli: " << *problem << '\n';
    return kExitFileFailed;
  }
  if (!applyEdits(app, options.edits, err)) return kExitUsage;
  if (options.outputPath) form.setText(control::kOutputFile, *options.outputPath);

  const OutputResult result = runOutput(app, form, true, options.chart);
  reportFile("rendering MIDI file", result.midi, out, err);
  reportFile("settings file", result.settings, out, err);
  return result.ok() ? kExitOk : kExitFileFailed;
}

}  // namespace rendlow::cli
