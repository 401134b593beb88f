#include "app/output_flow.h"

#include "app/application.h"
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

// The notices from `first` on, in the window.
void tellNotices(Form* window, const OutputResult& result, std::size_t first) {
  if (!window) return;
  for (std::size_t i = first; i < result.notices.size(); ++i) window->showMessage(result.notices[i].message);
}

OutputResult write(Project& project, const OutputPlan& plan, Form* window) {
  OutputResult result;
  if (plan.choice == OutputChoice::SettingsOnly) {
    project.outputPath = plan.paths.named;
    writeSettings(project, plan.paths.settings, result);
    tellNotices(window, result, 0);
    return result;
  }
  if (plan.pairRefusal) {
    writeSettingsAlone(project, plan, result);
    tellNotices(window, result, 0);
    return result;
  }
  writeRendering(project, plan, result);
  writeSettings(project, plan.paths.settings, result);
  if (window && result.renderingWritten()) window->showMessage(midiWrittenMessage());
  tellNotices(window, result, 0);
  const std::size_t told = result.notices.size();
  if (plan.chart) writeChart(*plan.paths.chart, *plan.chart, result);
  tellNotices(window, result, told);
  return result;
}

}  // namespace

Result<OutputResult> runOutput(Application& app, const OutputRequest& request, Form* window) {
  const Result<OutputPlan> plan = planOutput(app, request);
  if (!plan) {
    if (window) window->showMessage(plan.problem().message);
    return plan.problem();
  }
  return write(app.project, *plan, window);
}

OutputRequest requestFromForm(const Form& form, OutputChoice choice) {
  return {form.text(Box::OutputFile), {form.text(Box::Genre), form.text(Box::Title), form.text(Box::Artist)}, choice};
}

}  // namespace rendlow
