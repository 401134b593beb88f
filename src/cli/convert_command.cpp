#include "cli/convert_command.h"

#include <algorithm>

#include "cli/conversion_report.h"
#include "cli/error_output.h"
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

void fillBoxes(MemoryForm& form, const Options& options) {
  if (options.outputPath) form.setText(control::kOutputFile, *options.outputPath);
  if (options.genre) form.setText(control::kGenre, *options.genre);
  if (options.title) form.setText(control::kTitle, *options.title);
  if (options.artist) form.setText(control::kArtist, *options.artist);
}

// The files written, on `out` unless quiet; what went wrong was told on `err` already.
void reportWritten(const char* what, const std::optional<OutputFile>& file, bool quiet, std::ostream& out) {
  if (!quiet && file && file->status) out << what << ": " << file->path << '\n';
}

int convertOne(const Options& options, const std::string& input, std::ostream& out, std::ostream& err) {
  Application app(options.verbose ? &out : nullptr);
  MemoryForm form;
  loadFile(app, form, input);
  if (const auto problem = loadProblem(input, app)) {
    printMessage(err, *problem);
    return kExitFileFailed;
  }
  if (!applyEdits(app, options.edits, err)) return kExitUsage;
  fillBoxes(form, options);

  const bool writeMidi = !options.settingsOnly;
  const OutputResult result = runOutput(app, form, writeMidi, writeMidi && options.chart);
  if (!options.quiet && result.midi) {
    out << input << '\n';
    printTrackTable(out, reportTracks(app.project));
  }
  reportWritten("rendering MIDI file", result.midi, options.quiet, out);
  reportWritten("settings file", result.settings, options.quiet, out);
  reportWritten("chart", result.chart, options.quiet, out);
  for (const std::string& problem : result.problems) printMessage(err, problem);
  return result.ok() ? kExitOk : kExitFileFailed;
}

}  // namespace

int runConvert(const Options& options, std::ostream& out, std::ostream& err) {
  int status = kExitOk;
  for (const std::string& input : options.inputs)
    status = std::max(status, convertOne(options, input, out, err));
  return status;
}

}  // namespace rendlow::cli
