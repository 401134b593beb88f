#include "app/output_flow.h"

#include <utility>
#include <variant>
#include <vector>

#include "app/application.h"
#include "app/fit_flow.h"
#include "app/fit_report.h"
#include "app/form.h"
#include "app/settings_file.h"
#include "base/file_output.h"
#include "base/messages.h"
#include "base/messages_keeping.h"
#include "base/messages_run.h"
#include "base/platform.h"

namespace rendlow {

namespace {

OutputFile writeFile(const std::string& path, const std::string& contents, FileMode mode) {
  return {path, writeFileAtomically(path, contents, mode)};
}

void writeSettings(const Project& project, const std::string& path, OutputResult& result) {
  result.settings = OutputFile{path, saveSettings(project, path)};
}

void writeRendering(const OutputPlan& plan, const Result<std::string>& rendering, OutputResult& result) {
  const std::string& path = plan.targets.paths.rendering;
  result.midi =
      rendering ? writeFile(path, *rendering, FileMode::Binary) : OutputFile{path, rendering.problem()};
  if (result.midi->status) result.warnings = plan.warnings;
}

// A refused chart takes its rendering file with it: the two on disk stay a pair, the old one or
// none, and the settings file keeps the author's edits. Both refused files are told as not written.
void writeSettingsAlone(const Project& project, const OutputPlan& plan, const RefusedPairOutput& refusal,
                        OutputResult& result) {
  const OutputPaths& paths = plan.targets.paths;
  const Problem refused{refusal.reason};
  result.pairRefused = true;
  result.midi = OutputFile{paths.rendering, refused};
  writeSettings(project, paths.settings, result);
  result.chart = OutputFile{*paths.chart, refused};
}

// The author's chart is kept before the new one takes its place; a chart that cannot be kept is
// not replaced. Work of the author's that the new chart leaves out is a warning, once it stands.
Result<void> keepAuthorsChart(const std::string& chartPath, const ChartKeeping& keeping, OutputResult& result) {
  const Result<std::string> backup = keepOldChart(keeping.oldPath(chartPath), keeping.oldChart);
  if (!backup) return backup.problem();
  KeptChart kept{*backup, chartKeptSummary(keeping, chartPath, *backup), {}, std::nullopt};
  if (keeping.lostWork()) {
    if (keeping.kept) kept.leftOut = leftOutLines(*keeping.kept);
    Message warning = kept.summary;
    if (kept.leftOut.size() > kLeftOutListedInline) {
      const std::string list = leftOutListPathFor(*backup);
      if (writeFileAtomically(list, leftOutTable(*keeping.kept), FileMode::Text))
        warning = linesOf(warning, leftOutListedMessage(list));
    }
    kept.warning = warningNotice(warning);
  }
  result.keptChart = std::move(kept);
  return {};
}

// Once the new chart stands: the warning of work it left out, and a chart of the other format it
// took in taken away (its backup holds it).
void finishKeeping(const PairOutput& pair, OutputResult& result) {
  if (!result.chart->status) return;
  if (result.keptChart && result.keptChart->warning) result.warnings.push_back(*result.keptChart->warning);
  if (!pair.keeping || !pair.keeping->otherFormatPath || !result.keptChart) return;
  if (!removeFile(*pair.keeping->otherFormatPath))
    result.warnings.push_back(warningNotice(otherFormatChartStaysMessage(*pair.keeping->otherFormatPath)));
}

// The author's chart, where the new one replaces it, kept first.
Result<void> keepReplacedChart(const std::string& path, const PairOutput& pair, OutputResult& result) {
  if (!pair.keeping || !pair.keeping->needsBackup()) return {};
  return keepAuthorsChart(path, *pair.keeping, result);
}

void writeChart(const std::string& path, const PairOutput& pair, OutputResult& result) {
  if (Result<void> kept = keepReplacedChart(path, pair, result); !kept) {
    result.chart = OutputFile{path, kept};
    return;
  }
  result.chart = writeFile(path, *pair.chart, FileMode::Text);
}

// One of a pair written together: the file that failed says why, the other that it was kept.
Result<void> statusInPair(const std::optional<FailedFile>& failed, std::size_t index,
                          const std::string& other) {
  if (!failed) return {};
  if (failed->index == index) return failed->problem;
  return Problem{pairKeptReason(other)};
}

// A new chart beside an old rendering file plays the wrong sounds: the two are put in place only
// when both are complete, or neither is.
void writeRenderingWithChart(const OutputPlan& plan, const std::string& rendering,
                             const std::string& chart, OutputResult& result) {
  const OutputPaths& paths = plan.targets.paths;
  const FileToWrite files[] = {{paths.rendering, rendering, FileMode::Binary},
                               {*paths.chart, chart, FileMode::Text}};
  const std::optional<FailedFile> failed = writeFilesTogether(files);
  result.midi = OutputFile{paths.rendering, statusInPair(failed, 0, *paths.chart)};
  result.chart = OutputFile{*paths.chart, statusInPair(failed, 1, paths.rendering)};
  if (failed) return;
  result.warnings = plan.warnings;
}

void writePair(Project& project, const OutputPlan& plan, const PairOutput& pair, OutputResult& result) {
  const OutputPaths& paths = plan.targets.paths;
  if (pair.rendering && pair.chart) {
    // A chart that cannot be kept is not replaced, and neither is its rendering file.
    if (Result<void> kept = keepReplacedChart(*paths.chart, pair, result); !kept) {
      result.midi = OutputFile{paths.rendering, Problem{pairKeptReason(*paths.chart)}};
      result.chart = OutputFile{*paths.chart, kept};
    } else {
      writeRenderingWithChart(plan, *pair.rendering, *pair.chart, result);
      if (result.chart->status) project.chartDigest = chartDigest(*pair.chart);
    }
    writeSettings(project, paths.settings, result);
    finishKeeping(pair, result);
    return;
  }
  writeRendering(plan, pair.rendering, result);
  // The settings file keeps the digest of the chart about to be written. Should that chart not be
  // written after all, the one on disk differs from it and is kept as the author's the next time:
  // the safe side.
  if (pair.chart) project.chartDigest = chartDigest(*pair.chart);
  writeSettings(project, paths.settings, result);
  if (pair.chart) writeChart(*paths.chart, pair, result);
  if (pair.chart) finishKeeping(pair, result);
}

// Every file of the plan, in a fixed order: the rendering MIDI file with its chart, then the settings
// file. The header and the output name asked for are the project's from now on, as the settings
// file keeps them: a run whose files were refused must not forget the name the author gave it.
OutputResult write(Project& project, OutputPlan plan) {
  project.chartHeader = plan.header;
  project.outputPath = plan.targets.paths.named;
  OutputResult result;
  if (std::holds_alternative<SettingsOnlyOutput>(plan.outcome)) {
    writeSettings(project, plan.targets.paths.settings, result);
    return result;
  }
  if (const auto* refused = std::get_if<RefusedPairOutput>(&plan.outcome)) {
    writeSettingsAlone(project, plan, *refused, result);
  } else {
    writePair(project, plan, std::get<PairOutput>(plan.outcome), result);
  }
  result.converted = std::move(plan.converted);
  return result;
}

// An output plans its files first; an output of the song then meets the song as an output reads it
// (see Application::readSongForOutput), and plans its conversion.
Result<OutputPlan> plan(Application& app, const OutputRequest& request) {
  const Result<OutputTargets> targets = planTargets(app, request);
  if (!targets) return targets.problem();
  if (targets->convertsSong()) (void)app.readSongForOutput();
  return planOutput(app, request, *targets, app.diagnostics);
}

// Only a box whose text changed is set: setting a box counts as an edit the window has not saved.
void showHeader(Form& window, const ChartHeader& header) {
  const std::pair<Box, const std::string*> boxes[] = {
      {Box::Genre, &header.genre}, {Box::Title, &header.title}, {Box::Artist, &header.artist}};
  for (const auto& [box, text] : boxes) {
    if (window.text(box) != *text) window.setText(box, *text);
  }
}

Tone toneOf(const OutputResult& result) {
  if (!result.ok()) return Tone::Error;
  return result.warnings.empty() ? Tone::Information : Tone::Warning;
}

// Saving the settings alone is the one output the window does not answer, unless it went wrong:
// the author saves often, and a box after each save would only be closed unread.
bool worthTelling(OutputChoice choice, const OutputResult& result) {
  return choice != OutputChoice::SettingsOnly || !result.told().empty();
}

// A .bme chart refused for its #WAV ids: the window offers to slice the song as finely as fits and
// write it all again; the rows then show the settings the fit chose, and the message what it did.
OutputResult offerFit(Application& app, const OutputRequest& request, Form& window, OutputResult refused) {
  if (!window.offerAction(outputMessage(refused), Tone::Error, fitActionCaption())) return refused;
  const Result<FitResult> fit = fitRowsIntoIds(app);
  if (!fit || fit->changes.empty()) {
    window.showMessage(fit ? outputMessage(refused) : fit.problem().message, Tone::Error);
    return refused;
  }
  for (const FitChange& change : fit->changes)
    if (const TrackSettings* settings = app.findRowSettings(change.row))
      window.refreshRow(change.row, *settings);
  const Result<OutputResult> fitted = runOutput(app, request);
  if (!fitted) {
    window.showMessage(fitted.problem().message, Tone::Error);
    return refused;
  }
  window.showMessage(linesOf(fitReport(app.project, *fit), outputMessage(*fitted)), toneOf(*fitted));
  return *fitted;
}

}  // namespace

Result<OutputResult> runOutput(Application& app, const OutputRequest& request, Form* window) {
  Result<OutputPlan> planned = plan(app, request);
  if (!planned) {
    if (window) window->showMessage(planned.problem().message, Tone::Error);
    return planned.problem();
  }
  const auto* refused = std::get_if<RefusedPairOutput>(&planned->outcome);
  const bool fitMayHelp = refused && refused->wavIdsPastLimit;
  OutputResult result = write(app.project, std::move(planned).value());
  // A header text the author left empty may have come from the chart: the boxes show what is kept.
  if (window) showHeader(*window, app.project.chartHeader);
  if (window && fitMayHelp) return offerFit(app, request, *window, std::move(result));
  if (window && worthTelling(request.choice, result))
    window->showMessage(outputMessage(result), toneOf(result));
  return result;
}

bool OutputResult::ok() const {
  for (const std::optional<OutputFile>* file : {&midi, &settings, &chart}) {
    if (*file && !(*file)->status) return false;
  }
  return true;
}

std::vector<Message> OutputResult::told() const {
  std::vector<Message> told;
  const auto notWritten = [](const OutputFile& file) { return file.status.problem().message; };
  if (pairRefused) {
    if (!settings->status) told.push_back(settingsNotSavedMessage(settings->path, notWritten(*settings)));
    told.push_back(notWritten(*midi));
    return told;
  }
  if (midi && !midi->status) told.push_back(midiNotWrittenMessage(midi->path, notWritten(*midi)));
  for (const Notice& warning : warnings) told.push_back(warning.message);
  if (settings && !settings->status)
    told.push_back(settingsNotSavedMessage(settings->path, notWritten(*settings)));
  if (chart && !chart->status) told.push_back(chartFailedMessage(chart->path, notWritten(*chart)));
  return told;
}

namespace {

// The paths of the files asked for that were written (or, with `written` false, that were not).
std::string fileList(const OutputResult& result, bool written) {
  std::string list;
  for (const auto* file : {&result.midi, &result.settings, &result.chart}) {
    if (!*file || (*file)->status.ok() != written) continue;
    if (!list.empty()) list += ", ";
    list += (*file)->path;
  }
  return list;
}

}  // namespace

std::string writtenFileList(const OutputResult& result) { return fileList(result, true); }

Message filesSummary(const OutputResult& result) {
  return filesSummaryMessage(fileList(result, true), fileList(result, false));
}

Message outputMessage(const OutputResult& result) {
  std::vector<Message> paragraphs;
  if (result.renderingWritten()) paragraphs.push_back(midiWrittenMessage());
  if (result.keptChart && result.keptChart->leftOut.empty()) paragraphs.push_back(result.keptChart->summary);
  for (const Message& told : result.told()) paragraphs.push_back(told);
  paragraphs.push_back(filesSummary(result));
  Message text = paragraphs.front();
  for (std::size_t i = 1; i < paragraphs.size(); ++i) text += Message::verbatim("\n\n") + paragraphs[i];
  return text;
}

OutputRequest requestFromForm(const Form& form, OutputChoice choice) {
  return {form.text(Box::OutputFile),
          {form.text(Box::Genre), form.text(Box::Title), form.text(Box::Artist)},
          choice};
}

}  // namespace rendlow
