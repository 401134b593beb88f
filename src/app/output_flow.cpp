#include "app/output_flow.h"

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

void fail(OutputResult& result, Message message) {
  result.notices.push_back({Notice::Kind::Failure, std::move(message)});
}

OutputFile writeFile(const std::string& path, const Result<std::string>& contents, FileMode mode) {
  if (!contents) return {path, contents.problem()};
  return {path, writeFileAtomically(path, *contents, mode)};
}

void writeSettings(const Project& project, const std::string& path, OutputResult& result) {
  result.settings = OutputFile{path, saveSettings(project, path)};
  if (!result.settings->status)
    fail(result, settingsNotSavedMessage(path, result.settings->status.problem().message));
}

void writeRendering(Project& project, const OutputPlan& plan, OutputResult& result) {
  result.midi = writeFile(plan.paths.rendering, *plan.rendering, FileMode::Binary);
  if (!result.midi->status) {
    fail(result, midiNotWrittenMessage(plan.paths.rendering, result.midi->status.problem().message));
    return;
  }
  project.outputPath = plan.paths.named;
  result.notices.insert(result.notices.end(), plan.warnings.begin(), plan.warnings.end());
}

void writeChart(const std::string& path, const Result<std::string>& chart, OutputResult& result) {
  result.chart = writeFile(path, chart, FileMode::Text);
  if (!result.chart->status) fail(result, chartFailedMessage(path, result.chart->status.problem().message));
}

// A refused chart takes its rendering file with it: the two on disk stay a pair, the old one or
// none, and the settings file keeps the author's edits. Both refused files are told as not written.
void writeSettingsAlone(const Project& project, const OutputPlan& plan, OutputResult& result) {
  const Problem refused{*plan.pairRefusal};
  result.midi = OutputFile{plan.paths.rendering, refused};
  writeSettings(project, plan.paths.settings, result);
  result.chart = OutputFile{*plan.paths.chart, refused};
  fail(result, *plan.pairRefusal);
}

OutputResult write(Project& project, const OutputPlan& plan) {
  OutputResult result;
  if (plan.choice == OutputChoice::SettingsOnly) {
    project.outputPath = plan.paths.named;
    writeSettings(project, plan.paths.settings, result);
    return result;
  }
  if (plan.pairRefusal) {
    writeSettingsAlone(project, plan, result);
    return result;
  }
  writeRendering(project, plan, result);
  writeSettings(project, plan.paths.settings, result);
  if (plan.chart) writeChart(*plan.paths.chart, *plan.chart, result);
  return result;
}

Tone toneOf(const OutputResult& result) {
  if (!result.ok()) return Tone::Error;
  return result.notices.empty() ? Tone::Information : Tone::Warning;
}

// Saving the settings alone is the one output the window does not answer, unless it went wrong:
// the author saves often, and a box after each save would only be closed unread.
bool worthTelling(const OutputPlan& plan, const OutputResult& result) {
  return plan.choice != OutputChoice::SettingsOnly || !result.notices.empty();
}

// A .bme chart refused for its #WAV ids: the window offers to slice the song as finely as fits and
// write it all again; the rows then show the settings the fit chose, and the message what it did.
OutputResult offerFit(Application& app, const OutputRequest& request, Form& window, OutputResult refused) {
  if (!window.offerAction(outputMessage(refused), Tone::Error, fitActionCaption())) return refused;
  const Result<std::optional<FitResult>> fit = fitRowsIntoIds(app);
  if (!fit || !*fit) {
    window.showMessage(fit ? outputMessage(refused) : fit.problem().message, Tone::Error);
    return refused;
  }
  for (const FitChange& change : (*fit)->changes)
    if (const TrackSettings* settings = app.findRowSettings(change.row)) window.refreshRow(change.row, *settings);
  const Result<OutputResult> fitted = runOutput(app, request);
  if (!fitted) {
    window.showMessage(fitted.problem().message, Tone::Error);
    return refused;
  }
  window.showMessage(linesOf(fitReport(app.project, **fit), outputMessage(*fitted)), toneOf(*fitted));
  return *fitted;
}

}  // namespace

Result<OutputResult> runOutput(Application& app, const OutputRequest& request, Form* window) {
  const Result<OutputPlan> plan = planOutput(app, request);
  if (!plan) {
    if (window) window->showMessage(plan.problem().message, Tone::Error);
    return plan.problem();
  }
  OutputResult result = write(app.project, *plan);
  if (window && plan->wavIdsPastLimit) return offerFit(app, request, *window, std::move(result));
  if (window && worthTelling(*plan, result)) window->showMessage(outputMessage(result), toneOf(result));
  return result;
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
  for (const Notice& notice : result.notices) paragraphs.push_back(notice.message);
  paragraphs.push_back(filesSummary(result));
  Message text = paragraphs.front();
  for (std::size_t i = 1; i < paragraphs.size(); ++i) text += Message::verbatim("\n\n") + paragraphs[i];
  return text;
}

OutputRequest requestFromForm(const Form& form, OutputChoice choice) {
  return {form.text(Box::OutputFile), {form.text(Box::Genre), form.text(Box::Title), form.text(Box::Artist)}, choice};
}

}  // namespace rendlow
