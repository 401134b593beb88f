#include "app/output_flow.h"

#include <variant>
#include <vector>

#include "app/application.h"
#include "app/fit_flow.h"
#include "app/fit_report.h"
#include "app/form.h"
#include "app/settings_file.h"
#include "base/file_output.h"
#include "base/messages.h"

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

void writePair(Project& project, const OutputPlan& plan, const PairOutput& pair, OutputResult& result) {
  const OutputPaths& paths = plan.targets.paths;
  writeRendering(plan, pair.rendering, result);
  writeSettings(project, paths.settings, result);
  if (pair.chart) result.chart = writeFile(*paths.chart, *pair.chart, FileMode::Text);
}

// Every file of the plan, in a fixed order: the rendering MIDI file, the settings file, the chart.
// The header and the output name asked for are the project's from now on, as the settings file
// keeps them: a run whose files were refused must not forget the name the author gave it.
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

Message filesSummary(const OutputResult& result) {
  std::string written;
  std::string notWritten;
  for (const auto* file : {&result.midi, &result.settings, &result.chart}) {
    if (!*file) continue;
    std::string& list = (*file)->status ? written : notWritten;
    if (!list.empty()) list += ", ";
    list += (*file)->path;
  }
  return filesSummaryMessage(written, notWritten);
}

Message outputMessage(const OutputResult& result) {
  std::vector<Message> paragraphs;
  if (result.renderingWritten()) paragraphs.push_back(midiWrittenMessage());
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
