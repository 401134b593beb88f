#include "app/output_flow.h"

#include <algorithm>

#include "app/application.h"
#include "app/chart_output.h"
#include "app/conversion.h"
#include "app/form.h"
#include "app/paths.h"
#include "app/settings_file.h"
#include "base/file_output.h"
#include "base/messages.h"
#include "base/platform.h"
#include "base/text.h"
#include "midi/midi_writer.h"

namespace rendlow {

namespace {

void takeHeaderTexts(Application& app, const Form& form) {
  ChartHeader& header = app.project.chartHeader;
  header.genre = boundedText(form.text(Box::Genre));
  header.title = boundedText(form.text(Box::Title));
  header.artist = boundedText(form.text(Box::Artist));
}

void tell(Form& form, OutputResult& result, Message message) {
  form.showMessage(message);
  result.problems.push_back(std::move(message));
}

OutputResult refuse(Form& form, Message message) {
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
std::vector<Target> targetsOf(const Application& app, const std::string& outputPath, bool writeMidi, bool writeBms) {
  if (!writeMidi) return {{OutputKind::Settings, app.project.settingsPath}};
  std::vector<Target> targets{{OutputKind::RenderingMidi, outputPath},
                              {OutputKind::Settings, settingsPathFor(app.loadedMidiPath)}};
  if (const auto chart = writeBms ? chartPathFor(outputPath) : std::nullopt) {
    targets.push_back({OutputKind::Chart, *chart});
  }
  return targets;
}

// The author's song must never be replaced by what the program makes of it.
std::optional<Message> overwriteProblem(const std::string& input, const std::vector<Target>& targets) {
  for (const Target& target : targets) {
    if (sameFile(input, target.path)) return overwriteRefusedMessage(input, target.kind, target.path);
  }
  return std::nullopt;
}

// The song as it now stands on disk, with each row's settings back on the track of that row.
Result<void> reloadWithRowSettings(Application& app) {
  if (Result<void> read = app.readMidiFile(app.loadedMidiPath); !read) return read;
  const std::vector<std::size_t> listed = app.project.listedTracks();
  const std::size_t rows = std::min(listed.size(), app.rowSettings.size());
  for (std::size_t row = 0; row < rows; ++row) {
    const TrackSettings record = app.rowSettings[row];
    app.applyRowSettings(static_cast<int>(row), listed[row], record);
  }
  return {};
}

Message tooComplexMessage(const Application& app, std::size_t track) {
  return trackTooComplexMessage(app.loadedMidiPath, static_cast<int32_t>(track) + 1,
                                app.project.song.tracks[track].name);
}

OutputFile saveSettingsFile(const Project& project) { return {project.settingsPath, saveSettings(project)}; }

void tellIfNotSaved(Form& form, OutputResult& result) {
  const OutputFile& settings = *result.settings;
  if (!settings.status) tell(form, result, settingsNotSavedMessage(settings.path, settings.status.problem().message));
}

// Written, but the re-timing stopped: the file is valid, some sounds may lie under another tempo.
void tellIfUnsettled(Form& form, const std::string& outputPath, const SettleReport& retiming, OutputResult& result) {
  if (retiming.settled()) return;
  const bool overflow = retiming.ending == SettleReport::Ending::Overflow;
  tell(form, result, retimingUnsettledMessage(outputPath, overflow, retiming.cycles));
}

OutputFile writeRenderingFile(Application& app, const std::string& outputPath) {
  Project& project = app.project;
  Result<std::string> file = encodeMidiFile(project.song, project.convertedTracks(), app.diagnostics);
  if (!file) return {outputPath, file.problem()};
  Result<void> written = writeFileAtomically(outputPath, *file, FileMode::Binary);
  if (written) project.outputPath = outputPath;
  return {outputPath, std::move(written)};
}

void writeChartFile(Application& app, Form& form, const std::string& outputPath, OutputResult& result) {
  const auto chartPath = chartPathFor(outputPath);
  if (!chartPath) return;
  const Result<std::optional<Message>> chart = writeChart(app, *chartPath);
  if (!chart) {
    result.chart = OutputFile{*chartPath, chart.problem()};
    tell(form, result, chartFailedMessage(*chartPath, chart.problem().message));
  } else if (const std::optional<Message>& refusal = *chart) {
    result.chart = OutputFile{*chartPath, Problem{*refusal}};
    result.chartRefused = true;
    tell(form, result, chartRefusedMessage(*chartPath, *refusal));
  } else {
    result.chart = OutputFile{*chartPath, {}};
  }
}

}  // namespace

OutputResult runOutput(Application& app, Form& form, bool writeMidi, bool writeBms) {
  const std::string outputPath = boundedText(form.text(Box::OutputFile));
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

  if (Result<void> reloaded = reloadWithRowSettings(app); !reloaded) {
    return refuse(form, midiUnreadableMessage(app.loadedMidiPath, reloaded.problem().message));
  }
  const ConversionReport conversion = convert(app.project, app.diagnostics);
  if (conversion.refusedTrack) return refuse(form, tooComplexMessage(app, *conversion.refusedTrack));
  result.midi = writeRenderingFile(app, outputPath);
  result.settings = saveSettingsFile(app.project);
  if (result.midi->status) {
    form.showMessage(midiWrittenMessage());
    tellIfUnsettled(form, outputPath, conversion.retiming, result);
  } else {
    tell(form, result, midiNotWrittenMessage(outputPath, result.midi->status.problem().message));
  }
  tellIfNotSaved(form, result);

  if (writeBms) writeChartFile(app, form, outputPath, result);
  return result;
}

}  // namespace rendlow
