#include "app/output_plan.h"

#include <map>
#include <vector>

#include "app/application.h"
#include "app/chart_output.h"
#include "app/conversion.h"
#include "app/fit_report.h"
#include "base/messages.h"
#include "base/messages_cli.h"
#include "base/platform.h"
#include "base/text.h"
#include "bms/chart_format.h"
#include "bms/chart_limits.h"

namespace rendlow {

namespace {

struct Target {
  OutputKind kind;
  std::string path;
};

std::vector<Target> targetsOf(const OutputPlan& plan) {
  if (plan.choice == OutputChoice::SettingsOnly) return {{OutputKind::Settings, plan.paths.settings}};
  std::vector<Target> targets{{OutputKind::RenderingMidi, plan.paths.rendering},
                              {OutputKind::Settings, plan.paths.settings}};
  if (plan.paths.chart) targets.push_back({OutputKind::Chart, *plan.paths.chart});
  return targets;
}

// An output replaces only a regular file, and only one its owner lets be written: a folder or a
// device must not turn into a file, and a file made read-only was made so on purpose, whoever runs
// the program.
Result<void> checkSpots(const std::vector<Target>& targets) {
  for (const Target& target : targets) {
    switch (outputSpot(target.path)) {
      case OutputSpot::NotAFile:
        return Problem{outputNotAFileMessage(target.kind, target.path)};
      case OutputSpot::ReadOnlyFile:
        return Problem{outputReadOnlyMessage(target.kind, target.path)};
      case OutputSpot::Free:
      case OutputSpot::WritableFile:
        break;
    }
  }
  return {};
}

// The author's song must never be replaced by what the program makes of it, and no output may
// replace another: the later one would take the earlier one's place without a word.
Result<void> checkTargets(const std::string& input, const std::vector<Target>& targets) {
  for (const Target& target : targets) {
    if (namesSameFile(input, target.path))
      return Problem{overwriteRefusedMessage(input, target.kind, target.path)};
  }
  for (std::size_t i = 0; i < targets.size(); ++i) {
    for (std::size_t j = i + 1; j < targets.size(); ++j) {
      if (namesSameFile(targets[i].path, targets[j].path)) {
        return Problem{
            outputsCollideMessage(targets[i].kind, targets[i].path, targets[j].kind, targets[j].path)};
      }
    }
  }
  return checkSpots(targets);
}

// Two converted tracks of one definition name would give their different sounds the same file
// names, and the chart would play the wrong ones. Names that differ in letter case only are one
// name: Windows keeps one file for both.
Result<void> checkDefinitionNames(const Project& project) {
  std::map<std::string, std::size_t> firstRowOfName;
  const std::vector<std::size_t> listed = project.listedTracks();
  // A track with content but no row (a conductor) has no name and no sound; of the rows, the
  // enabled ones are converted.
  for (std::size_t n = 0; n < listed.size(); ++n) {
    const std::size_t track = listed[n];
    if (!project.settings[track].enabled) continue;
    const std::string& name = project.settings[track].definitionName;
    const auto [first, isNew] = firstRowOfName.try_emplace(caseFolded(name), n);
    if (isNew) continue;
    const auto trackOf = [&](std::size_t r) -> const std::string& {
      return project.song.tracks[listed[r]].name;
    };
    return Problem{definitionNameSharedMessage(name, static_cast<int32_t>(first->second + 1),
                                               trackOf(first->second), static_cast<int32_t>(n + 1), trackOf(n))};
  }
  return {};
}

Notices warningsOf(const Application& app, const std::string& renderingPath, const SettleReport& retiming) {
  Notices warnings;
  const Song& song = app.project.song;
  if (!song.damage.empty())
    warnings.push_back(warningNotice(midiDamagedMessage(app.project.inputPath, damageReport(song))));
  if (!hasNote(song)) warnings.push_back(warningNotice(songWithoutNotesMessage(app.project.inputPath)));
  if (!retiming.settled()) {
    const bool overflow = retiming.ending == SettleReport::Ending::Overflow;
    warnings.push_back(warningNotice(retimingUnsettledMessage(renderingPath, overflow, retiming.cycles)));
  }
  return warnings;
}

// A song in a folder no file can be made in keeps its settings file beside the chart, when the
// chart goes elsewhere: the conversion need not fail for the one file that cannot stand by the song.
bool moveSettingsBesideChart(OutputPaths& paths) {
  const std::string songFolder(folderOf(paths.settings));
  const std::string chartFolder(folderOf(paths.rendering));
  const auto absolute = [](const std::string& folder) { return absolutePath(folder.empty() ? "." : folder); };
  if (!folderReadOnly(songFolder) || folderReadOnly(chartFolder) ||
      sameSpelling(absolute(songFolder), absolute(chartFolder)))
    return false;
  paths.settings = pathIn(chartFolder, std::string(fileNameOf(paths.settings)));
  return true;
}

// Whether the project's chart, as a .bme, passes ZZ in its #WAV ids: what a coarser slicing mends.
bool wavIdsPastLimit(const Project& project, ChartFormat format) {
  return format == ChartFormat::Bme && largestWavId(project.chart) > kMaxChartId;
}

// A .bme chart refused for its #WAV ids tells the settings that would fit, measured: the fixed
// advice would leave the author to guess which widths, and how far.
Result<std::string> withFitAdvice(const Project& project, Result<std::string> chart) {
  const Result<void> limits = checkChartLimits(
      project.song, project.chart, wavIdRefusal(project, largestWavId(project.chart), kMaxChartId));
  return limits ? chart : Result<std::string>(limits.problem());
}

// Converts the song and makes the files' contents; a problem when the song may not be written.
Result<void> planConversion(Application& app, OutputPlan& plan) {
  Project& project = app.project;
  if (const Result<void>& read = app.revisitReading(); !read)
    return Problem{midiUnreadableMessage(project.inputPath, read.problem().message)};
  // Each output converts the song as a reading of the file for it would give it, with the rows'
  // settings as they now stand.
  app.restoreSongAsRead();
  if (Result<void> names = checkDefinitionNames(project); !names) return names.problem();
  const ConversionReport conversion = convert(project, app.diagnostics);
  if (const auto track = conversion.refusedTrack) {
    return Problem{trackTooComplexMessage(project.inputPath, static_cast<int32_t>(*track) + 1,
                                          project.song.tracks[*track].name)};
  }
  plan.warnings = warningsOf(app, plan.paths.rendering, conversion.retiming);
  plan.rendering = encodeRenderingFile(project, app.diagnostics);
  if (plan.paths.chart) plan.chart = formatChart(project, plan.paths.chartFormat);
  if (plan.chart && !*plan.chart) {
    plan.wavIdsPastLimit = wavIdsPastLimit(project, plan.paths.chartFormat);
    if (plan.wavIdsPastLimit) plan.chart = withFitAdvice(project, std::move(*plan.chart));
    plan.pairRefusal = linesOf(chartRefusedMessage(*plan.paths.chart, plan.chart->problem().message),
                               renderingHeldBackLine(plan.paths.rendering));
  }
  return {};
}

}  // namespace

// One damage of the song, as its line of the damage report tells it.
Message damageLine(const Song& song, const ReadDamage& damage) {
  const std::string name = damage.track >= 1 && std::cmp_less_equal(damage.track, song.tracks.size())
                               ? song.tracks[static_cast<std::size_t>(damage.track) - 1].name
                               : "";
  switch (damage.kind) {
    case ReadDamage::Kind::TrackCutShort:
      return trackCutShortDamage(damage.track, name);
    case ReadDamage::Kind::NumberTooLong:
      return numberTooLongDamage(damage.track, name);
    case ReadDamage::Kind::TickPastLimit:
      return tickPastLimitDamage(damage.track, name);
    case ReadDamage::Kind::NotATrack:
      return notATrackDamage(damage.track);
    case ReadDamage::Kind::TracksMissing:
      return tracksMissingDamage(damage.track, damage.announced);
    case ReadDamage::Kind::TempoZero:
      return tempoZeroDamage(damage.track, name, damage.tick);
  }
  return {};
}

// What a damaged file lost, one line per damage; the song has at least one.
Message damageReport(const Song& song) {
  Message lines = damageLine(song, song.damage.front());
  for (std::size_t i = 1; i < song.damage.size(); ++i) lines = linesOf(lines, damageLine(song, song.damage[i]));
  return lines;
}

Result<OutputPlan> planOutput(Application& app, const OutputRequest& request) {
  app.project.chartHeader = request.header;
  OutputPlan plan;
  plan.choice = request.choice;
  plan.paths = outputPathsFor(app.project.inputPath, request.renderingPath,
                              request.choice == OutputChoice::MidiAndChart);
  // Saving the settings of no song names no file, so it fails rather than write an empty setup.
  if (request.choice == OutputChoice::SettingsOnly && !app.hasSong()) plan.paths.settings.clear();
  const bool settingsMoved =
      request.choice != OutputChoice::SettingsOnly && moveSettingsBesideChart(plan.paths);
  if (Result<void> targets = checkTargets(app.project.inputPath, targetsOf(plan)); !targets)
    return targets.problem();
  if (request.choice == OutputChoice::SettingsOnly) return plan;
  if (Result<void> converted = planConversion(app, plan); !converted) return converted.problem();
  if (settingsMoved) plan.warnings.push_back(warningNotice(settingsBesideChartMessage(plan.paths.settings)));
  return plan;
}

}  // namespace rendlow
