#include "app/output_flow.h"

#include <algorithm>
#include <map>

#include "app/application.h"
#include "app/chart_output.h"
#include "app/conversion.h"
#include "app/form.h"
#include "app/paths.h"
#include "app/settings_file.h"
#include "base/file_output.h"
#include "base/messages.h"
#include "midi/midi_writer.h"

namespace rendlow {

namespace {

void takeHeaderTexts(Application& app, const Form& form) {
  ChartHeader& header = app.project.chartHeader;
  header.genre = form.text(Box::Genre);
  header.title = form.text(Box::Title);
  header.artist = form.text(Box::Artist);
}

void tell(Form& form, OutputResult& result, Message message) {
  form.showMessage(message);
  result.told.push_back(std::move(message));
}

void warn(Form& form, OutputResult& result, Message message) {
  result.warned = true;
  tell(form, result, std::move(message));
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

// The author's song must never be replaced by what the program makes of it, and no output may
// replace another: the later one would take the earlier one's place without a word.
std::optional<Message> targetProblem(const std::string& input, const std::vector<Target>& targets) {
  for (const Target& target : targets) {
    if (namesSameFile(input, target.path)) return overwriteRefusedMessage(input, target.kind, target.path);
  }
  for (std::size_t i = 0; i < targets.size(); ++i) {
    for (std::size_t j = i + 1; j < targets.size(); ++j) {
      if (namesSameFile(targets[i].path, targets[j].path))
        return outputsCollideMessage(targets[i].kind, targets[i].path, targets[j].kind, targets[j].path);
    }
  }
  return std::nullopt;
}

// Two converted tracks of one definition name would give their different sounds the same file
// names, and the chart would play the wrong ones.
std::optional<Message> definitionNameProblem(const Project& project) {
  std::map<std::string, std::size_t> firstRowOfName;
  const std::vector<std::size_t> listed = project.listedTracks();
  // Listed rows are the tracks with content after the file's first one, which has no row and no
  // name; of those, the enabled ones are converted.
  for (std::size_t n = 0; n < listed.size(); ++n) {
    const std::size_t track = listed[n];
    if (!project.settings[track].enabled) continue;
    const std::string& name = project.settings[track].definitionName;
    const auto [first, isNew] = firstRowOfName.try_emplace(name, n);
    if (isNew) continue;
    const auto trackOf = [&](std::size_t r) -> const std::string& {
      return project.song.tracks[listed[r]].name;
    };
    return definitionNameSharedMessage(name, static_cast<int32_t>(first->second + 1), trackOf(first->second),
                                       static_cast<int32_t>(n + 1), trackOf(n));
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

// What a damaged file lost, one line per damage.
Message damageReport(const Song& song) {
  std::optional<Message> lines;
  for (const ReadDamage& damage : song.damage) {
    const auto nameOf = [&](int32_t track) -> std::string {
      return track >= 1 && std::cmp_less_equal(track, song.tracks.size()) ? song.tracks[track - 1].name : "";
    };
    Message line;
    switch (damage.kind) {
      case ReadDamage::Kind::TrackCutShort:
        line = trackCutShortDamage(damage.track, nameOf(damage.track));
        break;
      case ReadDamage::Kind::NumberTooLong:
        line = numberTooLongDamage(damage.track, nameOf(damage.track));
        break;
      case ReadDamage::Kind::TickPastLimit:
        line = tickPastLimitDamage(damage.track, nameOf(damage.track));
        break;
      case ReadDamage::Kind::NotATrack:
        line = notATrackDamage(damage.track);
        break;
      case ReadDamage::Kind::TracksMissing:
        line = tracksMissingDamage(damage.track, damage.announced);
        break;
    }
    lines = lines ? linesOf(*lines, line) : line;
  }
  return lines.value_or(Message());
}

OutputFile saveSettingsFile(const Project& project) { return {project.settingsPath, saveSettings(project)}; }

void tellIfNotSaved(Form& form, OutputResult& result) {
  const OutputFile& settings = *result.settings;
  if (!settings.status)
    tell(form, result, settingsNotSavedMessage(settings.path, settings.status.problem().message));
}

OutputFile writeRenderingFile(Application& app, const std::string& outputPath) {
  Project& project = app.project;
  Result<std::string> file = encodeRenderingFile(project, app.diagnostics);
  if (!file) return {outputPath, file.problem()};
  Result<void> written = writeFileAtomically(outputPath, *file, FileMode::Binary);
  if (written) project.outputPath = outputPath;
  return {outputPath, std::move(written)};
}

void writeChartFile(Project& project, Form& form, const std::string& outputPath, OutputResult& result) {
  const auto chartPath = chartPathFor(outputPath);
  if (!chartPath) return;
  const Result<std::optional<Message>> chart = writeChart(project, *chartPath);
  if (!chart) {
    result.chart = OutputFile{*chartPath, chart.problem()};
    tell(form, result, chartFailedMessage(*chartPath, chart.problem().message));
  } else if (const std::optional<Message>& refusal = *chart) {
    result.chart = OutputFile{*chartPath, Problem{*refusal}};
    result.chartRefused = true;
    warn(form, result, chartRefusedMessage(*chartPath, *refusal));
  } else {
    result.chart = OutputFile{*chartPath, {}};
  }
}

// Writes the rendering MIDI file and the settings file of the converted song, and tells the user
// how it went: the completion message when the MIDI file was written, then what must be read.
void writeConversion(Application& app, Form& form, const std::string& outputPath,
                     const SettleReport& retiming, OutputResult& result) {
  result.midi = writeRenderingFile(app, outputPath);
  result.settings = saveSettingsFile(app.project);
  if (result.midi->status) {
    form.showMessage(midiWrittenMessage());
    if (!app.project.song.damage.empty())
      warn(form, result, midiDamagedMessage(app.loadedMidiPath, damageReport(app.project.song)));
    if (!retiming.settled()) {
      const bool overflow = retiming.ending == SettleReport::Ending::Overflow;
      warn(form, result, retimingUnsettledMessage(outputPath, overflow, retiming.cycles));
    }
  } else {
    tell(form, result, midiNotWrittenMessage(outputPath, result.midi->status.problem().message));
  }
  tellIfNotSaved(form, result);
}

}  // namespace

OutputResult runOutput(Application& app, Form& form, bool writeMidi, bool writeBms) {
  const std::string outputPath = form.text(Box::OutputFile);
  takeHeaderTexts(app, form);
  if (auto problem = targetProblem(app.loadedMidiPath, targetsOf(app, outputPath, writeMidi, writeBms))) {
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
  if (auto problem = definitionNameProblem(app.project)) return refuse(form, std::move(*problem));
  const ConversionReport conversion = convert(app.project, app.diagnostics);
  if (conversion.refusedTrack) return refuse(form, tooComplexMessage(app, *conversion.refusedTrack));
  writeConversion(app, form, outputPath, conversion.retiming, result);
  if (writeBms) writeChartFile(app.project, form, outputPath, result);
  return result;
}

}  // namespace rendlow
