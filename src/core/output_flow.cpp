#include "core/output_flow.h"

#include <algorithm>

#include "core/application.h"
#include "core/chart_output.h"
#include "core/conversion.h"
#include "core/form.h"
#include "core/settings_file.h"
#include "core/text.h"
#include "midi/midi_writer.h"

namespace rendlow {

namespace {

void takeBoxText(const Form& form, int id, std::string& field) {
  if (form.hasControl(id)) field = boundedText(form.text(id));
}

void takeHeaderTexts(Application& app, const Form& form) {
  takeBoxText(form, control::kGenre, app.project.genre);
  takeBoxText(form, control::kTitle, app.project.title);
  takeBoxText(form, control::kArtist, app.project.artist);
}

// A file that could not be written: the user hears which one and why.
void tellIfFailed(Form& form, const char* what, const OutputFile& file) {
  if (file.status) return;
  std::string message = what;
  message += "\n";
  message += file.path;
  message += "\n";
  message += file.status.reason;
  form.showMessage(message);
}

OutputFile saveSettingsFile(const Project& project) { return {project.settingsPath, saveSettings(project)}; }

constexpr const char* kSettingsFailed = "設定ファイルを保存できませんでした";
constexpr const char* kMidiFailed = "midiファイルを出力できませんでした";

// The song as it now stands on disk, with each row's settings back on the track of that row.
void reloadWithRowSettings(Application& app) {
  app.readMidiFile(app.loadedMidiPath);
  const TrackList listed = app.project.listedTracks();
  const std::size_t rows = std::min(listed.size(), app.rowSettings.size());
  for (std::size_t row = 0; row < rows; ++row) {
    const TrackSettings record = app.rowSettings[row];
    app.applyRowSettings(static_cast<int>(row), *listed[row], record);
  }
}

void writeChartFile(Application& app, Form& form, const std::string& outputPath, OutputResult& result) {
  const ChartResult chart = writeChart(app, form, outputPath);
  if (chart.outcome == ChartOutcome::NoChartPath) return;
  const bool written = chart.outcome == ChartOutcome::Written;
  result.chart = OutputFile{chart.path, written ? WriteStatus{} : WriteStatus::failed(chart.reason)};
  result.chartRefused = chart.outcome == ChartOutcome::Refused;
}

}  // namespace

OutputResult runOutput(Application& app, Form& form, bool writeMidi, bool writeBms) {
  OutputResult result;
  if (!form.hasControl(control::kOutputFile)) return result;
  const std::string outputPath = boundedText(form.text(control::kOutputFile));
  takeHeaderTexts(app, form);
  if (!writeMidi) {
    app.project.outputPath = outputPath;
    result.settings = saveSettingsFile(app.project);
    tellIfFailed(form, kSettingsFailed, *result.settings);
    return result;
  }

  reloadWithRowSettings(app);
  convert(app.project, app.diagnostics);
  result.midi = OutputFile{outputPath, writeMidiFile(app.project, outputPath, app.diagnostics)};
  result.settings = saveSettingsFile(app.project);
  if (result.midi->status) form.showMessage(kMidiWrittenMessage);
  tellIfFailed(form, kMidiFailed, *result.midi);
  tellIfFailed(form, kSettingsFailed, *result.settings);

  if (writeBms) writeChartFile(app, form, outputPath, result);
  return result;
}

}  // namespace rendlow
