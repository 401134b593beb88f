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

std::string inQuotes(const std::string& text) { return "\"" + text + "\""; }

// Applies the edits in the order given; an edit of a row the song does not have is a mistake in
// the command line, found only now that the song is loaded.
bool applyEdits(Application& app, const Options& options, const std::string& input, std::ostream& err) {
  for (const RowEdit& edit : options.edits) {
    TrackSettings row;
    if (!app.getRowSettings(edit.row, row)) {
      err << "rendlow-cli: --set " << edit.row << ":" << edit.field << ": " << inQuotes(input) << " has "
          << app.rowSettings.size() << " track rows, no row " << edit.row << "\n";
      return false;
    }
    app.applyRowSettings(edit.row, editRecord(edit, row));
  }
  return true;
}

void fillBoxes(MemoryForm& form, const Options& options) {
  if (options.output) form.setText(control::kOutputFile, *options.output);
  if (options.genre) form.setText(control::kGenre, *options.genre);
  if (options.title) form.setText(control::kTitle, *options.title);
  if (options.artist) form.setText(control::kArtist, *options.artist);
}

OutputResult pressButton(Application& app, MemoryForm& form, Outputs outputs) {
  const bool midi = outputs != Outputs::SettingsOnly;
  return runOutput(app, form, midi, outputs == Outputs::MidiAndChart);
}

// Every file that could not be written, and a chart refused for a limit, on standard error.
int tellProblems(const OutputResult& result, std::ostream& err) {
  int status = kExitOk;
  for (const auto* file : {&result.midi, &result.settings, &result.chart}) {
    if (!*file || (*file)->status) continue;
    if (file == &result.chart && result.chartRefused) {
      err << "rendlow-cli: the chart " << inQuotes((*file)->path)
          << " was not written: " << (*file)->status.reason << "\n";
      continue;
    }
    err << "rendlow-cli: cannot write " << inQuotes((*file)->path) << ": " << (*file)->status.reason << "\n";
    status = kExitFileFailed;
  }
  return status;
}

int convertOne(const Options& options, const std::string& input, std::ostream& out, std::ostream& err) {
  Application app(options.verbose ? &out : nullptr);
  MemoryForm form;
  loadFile(app, form, input);
  if (const auto problem = loadProblem(input, app)) {
    err << "rendlow-cli: " << *problem << "\n";
    return kExitFileFailed;
  }
  if (!applyEdits(app, options, input, err)) return kExitUsage;
  fillBoxes(form, options);
  const OutputResult result = pressButton(app, form, options.outputs);
  if (!options.quiet) {
    out << input << "\n";
    if (result.midi) printTrackTable(out, reportTracks(app.project));
    printWrittenFiles(out, result);
  }
  return tellProblems(result, err);
}

}  // namespace

int runConvert(const Options& options, std::ostream& out, std::ostream& err) {
  int status = kExitOk;
  for (const std::string& input : options.inputs) {
    status = std::max(status, convertOne(options, input, out, err));
  }
  return status;
}

}  // namespace rendlow::cli
