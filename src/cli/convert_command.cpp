#include "cli/convert_command.h"

#include <algorithm>

#include "app/application.h"
#include "app/job.h"
#include "app/memory_form.h"
#include "cli/conversion_report.h"
#include "cli/error_output.h"
#include "cli/exit_status.h"

namespace rendlow::cli {

namespace {

JobRequest requestFor(const Options& options, const std::string& input) {
  JobRequest request;
  request.input = input;
  request.edits = options.edits;
  request.outputPath = options.outputPath;
  request.genre = options.genre;
  request.title = options.title;
  request.artist = options.artist;
  request.output = options.settingsOnly ? JobOutput::SettingsOnly
                   : options.chart      ? JobOutput::MidiAndChart
                                        : JobOutput::MidiOnly;
  return request;
}

// The files written, on `out` unless quiet; what went wrong was told on `err` already.
void reportWritten(const char* what, const std::optional<OutputFile>& file, bool quiet, std::ostream& out) {
  if (!quiet && file && file->status) out << what << ": " << file->path << '\n';
}

int convertOne(const Options& options, const std::string& input, std::ostream& out, std::ostream& err) {
  Application app(options.verbose ? &out : nullptr);
  MemoryForm form;
  const Result<OutputResult> job = runJob(app, form, requestFor(options, input));
  if (!job) {
    printMessage(err, job.problem().message);
    return kExitFileFailed;
  }
  const OutputResult& result = *job;
  if (!options.quiet && result.midi && result.midi->status) {
    out << input << '\n';
    printTrackTable(out, reportTracks(app.project));
  }
  reportWritten("rendering MIDI file", result.midi, options.quiet, out);
  reportWritten("settings file", result.settings, options.quiet, out);
  reportWritten("chart", result.chart, options.quiet, out);
  for (const Message& problem : result.problems) printMessage(err, problem);
  return result.ok() ? kExitOk : kExitFileFailed;
}

}  // namespace

int runConvert(const Options& options, std::ostream& out, std::ostream& err) {
  int status = kExitOk;
  for (const std::string& input : options.inputs) status = std::max(status, convertOne(options, input, out, err));
  return status;
}

}  // namespace rendlow::cli
