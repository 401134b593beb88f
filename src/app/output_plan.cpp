#include "app/output_plan.h"

#include <algorithm>
#include <map>
#include <vector>

#include "app/application.h"
#include "app/conversion.h"
#include "app/fit_report.h"
#include "app/settings_file.h"
#include "base/file_input.h"
#include "base/messages.h"
#include "base/messages_cli.h"
#include "base/messages_keeping.h"
#include "base/platform.h"
#include "base/text.h"
#include "bms/bms_writer.h"
#include "bms/bmson_merge.h"
#include "bms/bmson_writer.h"
#include "bms/chart_format.h"
#include "bms/chart_limits.h"
#include "bms/chart_translation.h"
#include "midi/midi_writer.h"

namespace rendlow {

namespace {

struct Target {
  OutputKind kind;
  std::string path;
};

std::vector<Target> targetsOf(const OutputTargets& planned) {
  const OutputPaths& paths = planned.paths;
  if (!planned.convertsSong()) return {{OutputKind::Settings, paths.settings}};
  std::vector<Target> targets{{OutputKind::RenderingMidi, paths.rendering},
                              {OutputKind::Settings, paths.settings}};
  if (paths.chart) targets.push_back({OutputKind::Chart, *paths.chart});
  return targets;
}

// An output replaces only a regular file, and only one its owner lets be written: a folder or a
// device must not turn into a file, and a file made read-only was made so on purpose, whoever runs
// the program.
Result<void> checkSpots(const std::vector<Target>& targets) {
  for (const Target& target : targets) {
    // The system's own error for such a name would blame the folder.
    if (!systemTakesFileName(fileNameOf(target.path)))
      return Problem{outputNameForbiddenMessage(target.kind, target.path)};
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
                                               trackOf(first->second), static_cast<int32_t>(n + 1),
                                               trackOf(n))};
  }
  return {};
}

// Rows there are, and none of them converted: the files hold nothing of the song.
bool everyRowOff(const Project& project) {
  const std::vector<std::size_t> listed = project.listedTracks();
  return !listed.empty() && std::none_of(listed.begin(), listed.end(),
                                         [&](std::size_t track) { return project.settings[track].enabled; });
}

Notices warningsOf(const Project& project, const std::string& renderingPath, const RetimingReport& retiming) {
  Notices warnings;
  const Song& song = project.song;
  if (!song.damage.empty())
    warnings.push_back(warningNotice(midiDamagedMessage(project.inputPath, damageReport(song))));
  if (!hasNote(song))
    warnings.push_back(warningNotice(songWithoutNotesMessage(project.inputPath)));
  else if (everyRowOff(project))
    warnings.push_back(warningNotice(allTracksOffMessage(project.inputPath)));
  if (!retiming.settled()) {
    const bool overflow = retiming.ending == RetimingReport::Ending::Overflow;
    warnings.push_back(warningNotice(retimingUnsettledMessage(renderingPath, overflow, retiming.cycles)));
  }
  return warnings;
}

// A song in a folder no file can be made in, or whose settings file's name another file holds,
// keeps its settings file beside the chart when the chart goes elsewhere: the conversion need not
// fail for the one file that cannot stand by the song. Why, when it moves.
std::optional<Message> moveSettingsBesideChart(OutputPaths& paths, const std::string& song) {
  const std::string songFolder(folderOf(paths.settings));
  const std::string chartFolder(folderOf(paths.rendering));
  const auto absolute = [](const std::string& folder) { return absolutePath(folder.empty() ? "." : folder); };
  const bool readOnly = folderReadOnly(songFolder);
  const std::string songSpot = paths.settings;
  if ((!readOnly && mayHoldSettingsOf(songSpot, song)) || folderReadOnly(chartFolder) ||
      sameSpelling(absolute(songFolder), absolute(chartFolder)))
    return std::nullopt;
  paths.settings = pathIn(chartFolder, std::string(fileNameOf(paths.settings)));
  return readOnly ? settingsBesideChartMessage(paths.settings)
                  : settingsSpotTakenMessage(songSpot, paths.settings);
}

// Whether the chart, as a .bme, passes ZZ in its #WAV ids: what a coarser slicing mends.
bool wavIdsPastLimit(const Chart& chart, ChartFormat format) {
  return format == ChartFormat::Bme && largestWavId(chart) > kMaxChartId;
}

// A .bme chart refused for its #WAV ids tells the settings that would fit, measured: the fixed
// advice would leave the author to guess which widths, and how far.
Message withFitAdvice(const Project& project, const Chart& chart, const Message& refusal) {
  const Result<void> limits =
      checkChartLimits(project.song, chart, wavIdRefusal(project, largestWavId(chart), kMaxChartId));
  return limits ? refusal : limits.problem().message;
}

Result<std::string> formatChart(const Song& song, const Converted& converted, const ChartHeader& header,
                                ChartFormat format) {
  if (format == ChartFormat::Bmson)
    return formatBmsonChart(song, converted.measures, converted.chart, header);
  return formatBmsChart(song, converted.measures, converted.chart, header);
}

// The definition names of every row, switched off or not: the files named after them are the
// program's sounds, whichever the new chart plays.
std::vector<std::string> soundNamesOf(const Project& project) {
  std::vector<std::string> names;
  for (const std::size_t track : project.listedTracks()) names.push_back(project.settings[track].definitionName);
  return names;
}

// The new chart in its format with the author's work on `oldChart` taken in.
Result<MergedChart> mergedChart(const Project& project, const Converted& converted, const ChartHeader& header,
                                ChartFormat format, const std::string& oldChart) {
  if (format == ChartFormat::Bmson)
    return mergeBmsonChart(oldChart, converted.chart, project.song, converted.measures, header,
                           soundNamesOf(project));
  return mergeBmsChart(oldChart, converted.chart, project.song, converted.measures, header,
                       soundNamesOf(project));
}

// The old chart as a chart of the new one's format: a chart of the other format is translated,
// and what that format has no place for counted.
std::string oldChartIn(ChartFormat format, const Project& project, const Converted& converted,
                       ChartKeeping& keeping) {
  if (!keeping.otherFormatPath) return keeping.oldChart;
  const TranslatedChart translated =
      format == ChartFormat::Bmson
          ? bmsonFromBmsChart(keeping.oldChart, converted.measures, soundNamesOf(project))
          : bmsChartFromBmson(keeping.oldChart, converted.measures, soundNamesOf(project));
  keeping.notCarried = translated.notCarried;
  return translated.text;
}

// The chart text, with the author's work on the chart it replaces taken in; a chart from the song
// alone still learns what it leaves out, so that the old one is kept then.
Result<std::string> chartTextOf(const Project& project, const Converted& converted, const ChartHeader& header,
                                ChartFormat format, std::optional<ChartKeeping>& keeping) {
  if (!keeping) return formatChart(project.song, converted, header, format);
  Result<MergedChart> merged =
      mergedChart(project, converted, header, format, oldChartIn(format, project, converted, *keeping));
  if (!merged) return merged.problem();
  keeping->kept = std::move(merged->kept);
  if (keeping->fresh) return formatChart(project.song, converted, header, format);
  return std::move(merged->text);
}

// A header text the author left empty takes the chart's, so a title typed in an editor is never
// blanked; it is the project's, and the settings file's, from then on.
ChartHeader withTextsOf(ChartHeader header, const ChartHeader& chart) {
  for (auto field : {&ChartHeader::genre, &ChartHeader::title, &ChartHeader::artist}) {
    if ((header.*field).empty()) header.*field = chart.*field;
  }
  return header;
}

// A rendering file refused for a gap a row's note interval alone makes is refused for that
// setting: the song's own silences are not the author's to shorten then.
Result<std::string> blamingSettings(const Project& project, Result<std::string> rendering) {
  if (rendering) return rendering;
  const std::vector<std::size_t> listed = project.listedTracks();
  for (std::size_t row = 0; row < listed.size(); ++row) {
    const TrackSettings& settings = project.settings[listed[row]];
    if (!settings.enabled || settings.noteInterval <= kLargestDelta) continue;
    const auto number = static_cast<int32_t>(listed[row] + 1);
    return Problem{noteIntervalTooLargeReason(row, number, project.song.tracks[listed[row]].name,
                                              settings.noteInterval, kLargestDelta)};
  }
  return rendering;
}

// The header texts of the chart a new one replaces, as its format holds them.
ChartHeader headerTextsOf(const ChartKeeping& keeping, ChartFormat format) {
  const bool bmson = (format == ChartFormat::Bmson) != keeping.otherFormatPath.has_value();
  return bmson ? bmsonHeaderTexts(keeping.oldChart) : chartHeaderTexts(keeping.oldChart);
}

// The chart the new one replaces, and a warning when a chart of the other format stands beside it
// and stays: it plays an earlier conversion's sounds, and may be the author's.
std::optional<ChartKeeping> chartReplacedBy(const OutputPaths& paths, const Project& project, bool fresh,
                                            std::vector<Notice>& warnings) {
  const std::string other = otherFormatChartPath(*paths.chart, paths.chartFormat);
  std::optional<ChartKeeping> keeping = chartToReplace(*paths.chart, other, project.chartDigest, fresh);
  if (keeping && !keeping->otherFormatPath && fileExists(other))
    warnings.push_back(warningNotice(otherFormatChartBesideMessage(other, *paths.chart)));
  return keeping;
}

using PlannedOutcome = std::variant<SettingsOnlyOutput, PairOutput, RefusedPairOutput>;

// The rendering file and its chart, or the pair refused for the chart's limits.
PlannedOutcome pairOf(const Project& project, const OutputTargets& targets, const ChartHeader& header,
                      const Converted& converted, std::optional<ChartKeeping> keeping, Diagnostics& diagnostics) {
  PairOutput pair{blamingSettings(project, encodeRenderingFile(project.song, converted, diagnostics)),
                  std::nullopt, std::nullopt};
  const OutputPaths& paths = targets.paths;
  if (!paths.chart) return pair;
  Result<std::string> chart = chartTextOf(project, converted, header, paths.chartFormat, keeping);
  if (chart) {
    pair.keeping = std::move(keeping);
    pair.chart = std::move(chart).value();
    return pair;
  }
  RefusedPairOutput refused{chart.problem().message, wavIdsPastLimit(converted.chart, paths.chartFormat)};
  if (refused.wavIdsPastLimit) refused.reason = withFitAdvice(project, converted.chart, refused.reason);
  refused.reason =
      linesOf(chartRefusedMessage(*paths.chart, refused.reason), renderingHeldBackLine(paths.rendering));
  return refused;
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
    case ReadDamage::Kind::DataCutOff:
      return dataCutOffDamage(damage.track, name, damage.tick);
  }
  return {};
}

// What a damaged file lost, one line per damage; the song has at least one.
Message damageReport(const Song& song) {
  Message lines = damageLine(song, song.damage.front());
  for (std::size_t i = 1; i < song.damage.size(); ++i)
    lines = linesOf(lines, damageLine(song, song.damage[i]));
  return lines;
}

Result<OutputTargets> planTargets(const Application& app, const OutputRequest& request) {
  const Project& project = app.project;
  OutputTargets targets;
  targets.choice = request.choice;
  targets.paths =
      outputPathsFor(project.inputPath, request.renderingPath, request.choice == OutputChoice::MidiAndChart);
  // Saving the settings of no song names no file, so it fails rather than write an empty setup.
  if (!targets.convertsSong() && !app.hasSong()) targets.paths.settings.clear();
  if (targets.convertsSong())
    targets.settingsBesideChart = moveSettingsBesideChart(targets.paths, project.inputPath);
  if (Result<void> checked = checkTargets(project.inputPath, targetsOf(targets)); !checked)
    return checked.problem();
  if (!mayHoldSettingsOf(targets.paths.settings, project.inputPath))
    return Problem{
        foreignSettingsFileMessage(targets.paths.settings, project.inputPath, targets.convertsSong())};
  return targets;
}

Result<OutputPlan> planOutput(const Application& app, const OutputRequest& request,
                              const OutputTargets& targets, Diagnostics& diagnostics) {
  OutputPlan plan{targets, request.header, std::nullopt, SettingsOnlyOutput{}, {}};
  if (!targets.convertsSong()) return plan;
  const Project& project = app.project;
  if (const Result<void>& read = app.songReading(); !read)
    return Problem{midiUnreadableMessage(project.inputPath, read.problem().message)};
  if (Result<void> names = checkDefinitionNames(project); !names) return names.problem();
  Result<Converted> converted = convertSong(project.song, project.settings, targets.paths.chart.has_value(),
                                            project.inputPath, diagnostics);
  if (!converted) return converted.problem();
  plan.warnings = warningsOf(project, targets.paths.rendering, converted->retiming);
  std::optional<ChartKeeping> keeping;
  if (targets.paths.chart) keeping = chartReplacedBy(targets.paths, project, request.freshChart, plan.warnings);
  if (keeping) plan.header = withTextsOf(plan.header, headerTextsOf(*keeping, targets.paths.chartFormat));
  plan.outcome = pairOf(project, targets, plan.header, *converted, std::move(keeping), diagnostics);
  if (targets.settingsBesideChart) plan.warnings.push_back(warningNotice(*targets.settingsBesideChart));
  if (project.settingsReadAsUtf8)
    plan.warnings.push_back(warningNotice(settingsWrittenInCodePageMessage(targets.paths.settings)));
  plan.converted = std::move(converted).value();
  return plan;
}

}  // namespace rendlow
