#include "cli/convert_command.h"

#include <algorithm>

#include "app/application.h"
#include "app/fit_report.h"
#include "app/job.h"
#include "app/keysounds.h"
#include "app/memory_form.h"
#include "app/paths.h"
#include "app/run_lock.h"
#include "base/messages.h"
#include "base/messages_audio.h"
#include "base/messages_cli.h"
#include "base/messages_usage.h"
#include "cli/conversion_report.h"
#include "cli/error_output.h"
#include "cli/exit_status.h"
#include "cli/name_checks.h"
#include "cli/progress_display.h"

namespace rendlow::cli {

namespace {

KeysoundRequest keysoundRequest(const Options& options, std::ostream& err) {
  KeysoundRequest request;
  request.stemsFolder = options.stemsFolder;
  request.soundFont = options.soundFont.value_or("");
  request.synth = options.synth.value_or(audio::defaultSynth());
  request.ogg = options.ogg;
  request.recording = options.recording;
  request.trackRecordings = options.trackRecordings;
  request.clean = options.clean;
  request.progress =
      progressReport(progressStyleFor(standardErrorIsTerminal(), options.quiet, options.verbose > 0), err);
  return request;
}

JobRequest requestFor(const Options& options, const std::string& input, std::ostream& err) {
  JobRequest request;
  request.input = input;
  request.edits = options.edits;
  if (options.outputPath) request.outputPath = renderingPathFor(*options.outputPath, input);
  request.chartFormat = options.chartFormat;
  request.genre = options.genre;
  request.title = options.title;
  request.artist = options.artist;
  request.output = options.settingsOnly ? OutputChoice::SettingsOnly
                   : options.chart      ? OutputChoice::MidiAndChart
                                        : OutputChoice::MidiOnly;
  request.useSavedSettings = !options.defaults;
  request.fit = options.fit;
  request.freshChart = options.freshChart;
  if (options.stemsFolder || options.keysounds) request.keysounds = keysoundRequest(options, err);
  return request;
}

// The files written, on `out` unless quiet; what went wrong was told on `err` already.
void reportWritten(OutputKind kind, const std::optional<OutputFile>& file, bool quiet, std::ostream& out) {
  if (!quiet && file && file->status)
    out << writtenFileLabel(kind).in(consoleAudience()) << ": " << file->path << '\n';
}

// What was kept of the author's chart: the summary on `out` unless it is a warning (told on `err`
// with the others), and with --verbose each object left out.
void reportKeptChart(const OutputResult& result, const Options& options, std::ostream& out, std::ostream& err) {
  if (!result.keptChart) return;
  const KeptChart& kept = *result.keptChart;
  if (kept.leftOut.empty() && !options.quiet) out << kept.summary.in(consoleAudience()) << '\n';
  if (options.verbose)
    for (const Message& line : kept.leftOut) printMessage(err, line);
}

// A problem about one of several inputs says which.
Message aboutInput(const Options& options, const std::string& input, const Message& message) {
  if (options.inputs.size() < 2) return message;
  return Message::verbatim(input + ":\n") + message;
}

// --cut and --keysounds work on the chart: without one they say so rather than end in silence.
void tellSoundsNotMade(const Options& options, std::ostream& err) {
  if (options.stemsFolder || options.keysounds) printMessage(err, soundsWithoutChartWrittenMessage());
}

// --verbose: what was converted and each file written, in the order written.
void tellProgress(const std::string& input, const OutputResult& result, std::ostream& err) {
  if (result.renderingWritten())
    printMessage(err, convertedProgressLine(input, result.converted->tracks.size()));
  for (const auto* file : {&result.midi, &result.settings, &result.chart}) {
    if (*file && (*file)->status) printMessage(err, wroteProgressLine((*file)->path));
  }
}

// The sound files of a job that wrote its chart, and the fidelity line; the status the job ends
// with. Sounds that failed leave the chart's files standing, which the author is told.
int tellSounds(const Options& options, const Result<KeysoundReport>& made, const OutputResult& result,
               std::ostream& out, std::ostream& err) {
  if (!made) {
    printMessage(err, made.problem().message);
    const std::string folder(folderOf(result.chart->path));
    printMessage(err, soundsFailedSummaryMessage(writtenFileList(result), folder.empty() ? "." : folder));
    return kExitFailed;
  }
  for (const Notice& notice : made->files.notices) printMessage(err, notice.message);
  if (!options.quiet) out << made->files.summary().in(consoleAudience()) << '\n';
  printFidelityTable(out, made->trackFidelity, consoleAudience());
  if (made->fidelity) out << audio::fidelityLine(*made->fidelity).in(consoleAudience()) << '\n';
  for (const Notice& notice : made->measureNotices) printMessage(err, notice.message);
  if (!made->staleFiles.empty()) printMessage(err, staleSoundFilesMessage(made->staleFiles));
  if (!made->removedFiles.empty() && !options.quiet)
    out << staleSoundFilesRemovedMessage(made->removedFiles).in(consoleAudience()) << '\n';
  const bool warned =
      !made->files.notices.empty() || !made->measureNotices.empty() || !made->staleFiles.empty();
  return warned ? kExitWarning : kExitOk;
}

// An edit of a row the song does not have is a mistake in the command, not in the song.
bool editsMissingRow(const Options& options, const Application& app) {
  const std::size_t rows = app.project.listedTracks().size();
  return app.hasSong() &&
         std::any_of(options.edits.begin(), options.edits.end(),
                     [rows](const RowEdit& edit) { return static_cast<std::size_t>(edit.row) >= rows; });
}

// The reader's lines tell what is read; every event and every byte written only when asked twice.
void quietEvents(const Options& options, Application& app) {
  if (options.verbose < 2) app.diagnostics = Diagnostics();
}

// What a job that ran tells: the tracks, the files and the sounds; the status it ends with.
int tellJob(const Options& options, const std::string& input, const Application& app, const JobReport& job,
            std::ostream& out, std::ostream& err) {
  if (job.savedSettings) printMessage(err, usingSavedSettingsMessage(*job.savedSettings));
  if (job.fit && !options.quiet) out << fitReport(app.project, *job.fit).in(consoleAudience()) << '\n';
  if (!job.output) {
    // A refusal says itself that nothing was written.
    printMessage(err, job.output.problem().message);
    tellSoundsNotMade(options, err);
    return kExitFailed;
  }
  const OutputResult& result = *job.output;
  if (options.verbose) tellProgress(input, result, err);
  if (!options.quiet && result.renderingWritten()) {
    out << input << '\n';
    printTrackTable(out, reportTracks(app.project.song, *result.converted), consoleAudience());
  }
  reportWritten(OutputKind::RenderingMidi, result.midi, options.quiet, out);
  reportWritten(OutputKind::Settings, result.settings, options.quiet, out);
  reportWritten(OutputKind::Chart, result.chart, options.quiet, out);
  reportKeptChart(result, options, out, err);
  for (const Message& told : result.told()) printMessage(err, told);
  if (!result.ok()) {
    printMessage(err, filesSummary(result));
    tellSoundsNotMade(options, err);
    return kExitFailed;
  }
  const int status = exitStatusOf(result.warnings);
  if (!job.keysounds) return status;
  return worseStatus(status, tellSounds(options, *job.keysounds, result, out, err));
}

// How one song of the command ended: its status, and what of it stands.
struct SongOutcome {
  int status = kExitOk;
  std::string written;  // the files written, listed; empty when none was
  int32_t soundFiles = 0;
};

SongOutcome outcomeOf(int status, const JobReport& job) {
  SongOutcome outcome{status, job.output ? writtenFileList(*job.output) : "", 0};
  if (job.keysounds && *job.keysounds) outcome.soundFiles = (*job.keysounds)->files.filesWritten;
  return outcome;
}

// Converts one input, telling what it did as it goes.
SongOutcome convertOne(const Options& options, const std::string& input, std::ostream& out,
                       std::ostream& err) {
  Application app(options.verbose ? &err : nullptr);
  quietEvents(options, app);
  app.project.relativeSettingsPaths = true;
  MemoryForm form;
  if (options.verbose) printMessage(err, readingProgressLine(input));
  const Result<JobReport> job = runJob(app, form, requestFor(options, input, err));
  if (!job) {
    const bool usage = editsMissingRow(options, app);
    printMessage(err, aboutInput(options, input,
                                 usage ? job.problem().message + seeHelpLine() : job.problem().message));
    return {usage ? kExitUsage : kExitFailed, "", 0};
  }
  return outcomeOf(tellJob(options, input, app, *job, out, err), *job);
}

// Each song's outcome on a line of its own, once every song was converted: a song that failed
// must not hide what the others wrote.
void tellOutcomes(const std::vector<std::string>& inputs, const std::vector<SongOutcome>& outcomes,
                  std::ostream& out) {
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    const SongOutcome& song = outcomes[i];
    const SongEnding ending = song.status == kExitOk        ? SongEnding::Done
                              : song.status == kExitWarning ? SongEnding::DoneWithWarnings
                                                            : SongEnding::Failed;
    out << songOutcomeLine(inputs[i], ending, song.written, song.soundFiles).in(consoleAudience()) << '\n';
  }
}

// One song, one run: the lock is held from the load to the last sound file.
SongOutcome convertLocked(const Options& options, const std::string& input, std::ostream& out, std::ostream& err) {
  const auto tell = [&err](const Message& message) { printMessage(err, message); };
  const LockWait wait = options.noWait ? LockWait::DoNotWait : LockWait::Wait;
  const Result<std::optional<FileLock>> lock = takeRunLock(runLockPathFor(input), wait, tell);
  if (!lock) {
    printMessage(err, aboutInput(options, input, lock.problem().message));
    return SongOutcome{kExitFailed, "", 0};
  }
  return convertOne(options, input, out, err);
}

}  // namespace

int runConvert(const Options& options, std::ostream& out, std::ostream& err) {
  if (const std::optional<int> refused = refuseNames(options, err)) return *refused;
  int status = kExitOk;
  std::vector<SongOutcome> outcomes;
  for (const std::string& input : options.inputs) {
    outcomes.push_back(convertLocked(options, input, out, err));
    status = worseStatus(status, outcomes.back().status);
  }
  if (options.inputs.size() > 1 && !options.quiet) tellOutcomes(options.inputs, outcomes, out);
  return status;
}

}  // namespace rendlow::cli
