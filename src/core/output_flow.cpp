#include "core/output_flow.h"

#include <algorithm>

#include "core/application.h"
#include "core/chart_output.h"
#include "core/conversion.h"
#include "core/form.h"
#include "core/midi_file_check.h"
#include "base/platform.h"
#include "core/settings_file.h"
#include "base/text.h"
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

void tell(Form& form, OutputResult& result, std::string message) {
  form.showMessage(message);
  result.problems.push_back(std::move(message));
}

OutputResult refuse(Form& form, std::string message) {
  OutputResult result;
  result.refused = true;
  tell(form, result, std::move(message));
  return result;
}

struct Target {
  OutputKind kind;
  std::string path;
};

// The files the output is about to write, all checked before any is written.
std::vector<Target> targetsOf(const Application& app, const std::string& outputPath, bool writeMidi,
                              bool writeBms) {
  if (!writeMidi) return {{OutputKind::Settings, app.project.settingsPath}};
  std::vector<Target> targets{{OutputKind::RenderingMidi, outputPath},
                              {OutputKind::Settings, settingsPathFor(app.loadedMidiPath)}};
  if (const auto chart = writeBms ? chartPathFor(outputPath) : std::nullopt) {
    targets.push_back({OutputKind::Chart, *chart});
  }
  return targets;
}

// The author's song must never be replaced by what the program makes of it.
std::optional<std::string> overwriteProblem(const std::string& input, const std::vector<Target>& targets) {
  for (const Target& target : targets) {
    if (sameFile(input, target.path)) return overwriteRefusedMessage(input, target.kind, target.path);
  }
  return std::nullopt;
}

// The song as it now stands on disk, with each row's settings back on the track of that row.
// False when the file can no longer be read.
bool reloadWithRowSettings(Application& app) {
  if (!app.readMidiFile(app.loadedMidiPath)) return false;
  const TrackList listed = app.project.listedTracks();
  const std::size_t rows = std::min(listed.size(), app.rowSettings.size());
  for (std::size_t row = 0; row < rows; ++row) {
    const TrackSettings record = app.rowSettings[row];
    app.applyRowSettings(static_cast<int>(row), *listed[row], record);
  }
  return true;
}

std::string unreadableMessage(const std::string& path) {
  return midiUnreadableMessage(path, midiFileProblem(path).value_or(notMidiReason()));
}

std::string tooComplexMessage(const Application& app, std::size_t track) {
  return trackTooComplexMessage(app.loadedMidiPath, static_cast<int32_t>(track) + 1,
                                app.project.tracks[track]->name);
}

OutputFile saveSettingsFile(const Project& project) { return {project.settingsPath, saveSettings(project)}; }

void tellIfNotSaved(Form& form, OutputResult& result) {
  const OutputFile& settings = *result.settings;
  if (!settings.status) tell(form, result, settingsNotSavedMessage(settings.path, settings.status.reason));
}

// Written, but the re-timing stopped: the file is valid, some sounds may lie under another tempo.
void tellIfUnsettled(Form& form, const std::string& outputPath, const SettleReport& retiming,
                     OutputResult& result) {
  if (retiming.settled()) return;
  const bool overflow = retiming.ending == SettleReport::Ending::Overflow;
  tell(form, result, retimingUnsettledMessage(outputPath, overflow, retiming.cycles));
}

void writeChartFile(Application& app, Form& form, const std::string& outputPath, OutputResult& result) {
  const ChartResult chart = writeChart(app, form, outputPath);
  if (chart.outcome == ChartOutcome::NoChartPath) return;
  const bool written = chart.outcome == ChartOutcome::Written;
  result.chart = OutputFile{chart.path, written ? WriteStatus{} : WriteStatus::failed(chart.reason)};
  result.chartRefused = chart.outcome == ChartOutcome::Refused;
  if (!written) result.problems.push_back(chart.message);
}

}  // namespace

OutputResult runOutput(Application& app, Form& form, bool writeMidi, bool writeBms) {
  if (!form.hasControl(control::kOutputFile)) return {};
  const std::string outputPath = boundedText(form.text(control::kOutputFile));
  takeHeaderTexts(app, form);
  if (auto problem = overwriteProblem(app.loadedMidiPath, targetsOf(app, outputPath, writeMidi, writeBms))) {
    return refuse(form, std::move(*problem));
  }
  OutputResult result;
  if (!writeMidi) {
    app.project.outputPath = outputPath;
    result.settings = saveSettingsFile(app.project);
    tellIfNotSaved(form, result);
    return result;
  }

  if (!reloadWithRowSettings(app)) return refuse(form, unreadableMessage(app.loadedMidiPath));
  const ConversionReport conversion = convert(app.project, app.diagnostics);
  if (conversion.refusedTrack) return refuse(form, tooComplexMessage(app, *conversion.refusedTrack));
  result.midi = OutputFile{outputPath, writeMidiFile(app.project, outputPath, app.diagnostics)};
  result.settings = saveSettingsFile(app.project);
  if (result.midi->status) {
    form.showMessage(kMidiWrittenMessage);
    tellIfUnsettled(form, outputPath, conversion.retiming, result);
  } else {
    tell(form, result, midiNotWrittenMessage(outputPath, result.midi->status.reason));
  }
  tellIfNotSaved(form, result);

  if (writeBms) writeChartFile(app, form, outputPath, result);
  return result;
}

}  // namespace rendlow
