#include "cli/convert_command.h"

#include <algorithm>

#include "cli/conversion_report.h"
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

// Tells what one file came to: written (on `out`, unless quiet) or not, and why (on `err`).
void reportFile(const char* what, const std::optional<OutputFile>& file, bool quiet, std::ostream& out,
                std::ostream& err) {
  if (!file) return;
  if (file->status) {
    if (!quiet) out << what << ": " << file->path << '\n';
  } else {
    err << "rendlow-cli: cannot write the " << what << " \"" << file->path << "\": " << file->status.reason
        << '\n';
  }
}

// A chart past a limit of the format was left out on purpose: the reason, but no error.
void reportChart(const OutputResult& result, bool quiet, std::ostream& out, std::ostream& err) {
  if (!result.chartRefused) return reportFile("chart", result.chart, quiet, out, err);
  err << "rendlow-cli: the chart \"" << result.chart->path
      << "\" was not written: " << result.chart->status.reason << '\n';
}

int convertOne(const Options& options, const std::string& input, std::ostream& out, std::ostream& err) {
  Application app(options.verbose ? &out : nullptr);
  MemoryForm form;
  loadFile(app, form, input);
  if (const auto problem = loadProblem(input, app)) {
    err << "rendlow-cli: " << *problem << '\n';
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
  reportFile("rendering MIDI file", result.midi, options.quiet, out, err);
  reportFile("settings file", result.settings, options.quiet, out, err);
  reportChart(result, options.quiet, out, err);
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
