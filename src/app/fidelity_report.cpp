#include "app/fidelity_report.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <utility>

#include "app/bmson_playback.h"
#include "app/paths.h"
#include "app/project.h"
#include "audio/cut/stem_folder.h"
#include "audio/fidelity/comparison.h"
#include "audio/fidelity/fidelity_warnings.h"
#include "audio/synth/rendering.h"
#include "base/file_input.h"
#include "base/messages_audio.h"
#include "bms/chart_timeline.h"

namespace rendlow {

namespace {

// What every measure of one chart shares: its background and where its sounds lie.
struct Playback {
  const audio::ChartBackground& background;
  const std::string& chartPath;
  const audio::SoundOutput& output;
  int32_t blockFrames;  // see mixChart
};

// A converted track with sounds: where it is in the song, its names, and its sound files.
struct TrackPart {
  std::size_t index = 0;
  std::string name;
  std::string definitionName;
  std::set<std::string> soundFiles;
};

std::vector<TrackPart> trackParts(const Project& project) {
  const std::vector<audio::RenderingFileTrack> rendered = renderingFileTracks(project);
  std::vector<TrackPart> parts;
  for (const std::size_t track : project.convertedTracks()) {
    const std::string& definitionName = project.settings[track].definitionName;
    const auto found = std::find_if(rendered.begin(), rendered.end(), [&](const audio::RenderingFileTrack& r) {
      return r.stemName == definitionName;
    });
    if (found == rendered.end()) continue;
    const std::string& name = project.song.tracks[track].name;
    TrackPart& part = parts.emplace_back(TrackPart{track, name.empty() ? "(no name)" : name, definitionName, {}});
    for (const audio::RenderingFileSound& sound : found->sounds) part.soundFiles.insert(sound.fileName);
  }
  return parts;
}

// The chart just written, read back as a player reads it, for audio to play its background.
Result<audio::ChartBackground> chartBackground(const Project& project, const std::string& chartPath) {
  if (chartFormatOf(chartPath) == ChartFormat::Bmson) return bmsonBackground(project);
  Result<std::string> text = readWholeFile<std::string>(chartPath, {fileSystemReason, nullptr});
  if (!text) return Problem{chartUnreadableMessage(chartPath, text.problem().message)};
  const ChartTimeline timeline = timelineOf(parseChartText(*text));
  audio::ChartBackground background{timeline.soundFiles, {}};
  for (const TimedObject& object : timeline.objects)
    background.objects.push_back({object.seconds, object.wavId});
  return background;
}

// Against silence every figure is meaningless, however the chart plays.
bool silent(const audio::AudioBuffer& buffer) { return std::isinf(audio::peakDbfs(buffer)); }

void tellNotMeasured(const Message& why, Notices& notices) {
  notices.push_back(warningNotice(notMeasuredMessage(why)));
}

// `part` of the chart against `reference`, with what its figures warn of; none when it could not
// be played, which is told.
std::optional<audio::FidelityFigures> measurePart(const Playback& playback, const audio::ChartBackground& part,
                                                  const audio::AudioBuffer& reference,
                                                  const std::string& definitionName,
                                                  const std::string& referencePath, Notices& notices) {
  Result<audio::FidelityFigures> figures = audio::measureChartFidelity(
      part, playback.chartPath, playback.output.folder, reference, *playback.output.backend, playback.blockFrames);
  if (!figures) {
    tellNotMeasured(figures.problem().message, notices);
    return std::nullopt;
  }
  for (Notice& warning : audio::fidelityWarnings(*figures, definitionName, referencePath))
    notices.push_back(std::move(warning));
  return *figures;
}

void measureTrack(const Playback& playback, const TrackPart& track, const audio::AudioBuffer& reference,
                  const std::string& referencePath, FidelityReport& report) {
  const std::optional<audio::FidelityFigures> figures =
      measurePart(playback, audio::partOf(playback.background, track.soundFiles), reference,
                  track.definitionName, referencePath, report.notices);
  if (figures) report.tracks.push_back({track.name, track.definitionName, *figures});
}

// The first track becomes the sum itself, which grows to the longest track, as the synthesizer's
// own render of the song does: the same samples added in the same order give the same song.
void addInto(audio::AudioBuffer& sum, audio::AudioBuffer track) {
  if (sum.samples.empty()) {
    sum = std::move(track);
    return;
  }
  if (track.samples.size() > sum.samples.size()) sum.samples.resize(track.samples.size(), 0.0f);
  for (std::size_t i = 0; i < track.samples.size(); ++i) sum.samples[i] += track.samples[i];
}

// Each converted track rendered alone is its reference, and their sum the song's. One track's
// render is held at a time besides the sum: a long song's is hundreds of megabytes.
void measureSynthesized(const Project& project, const Playback& playback, const std::string& soundFont,
                        FidelityReport& report) {
  const SongAsRead song = songAsRead(project);
  const std::vector<TrackPart> parts = trackParts(project);
  audio::AudioBuffer sum;
  for (const SongAsRead::Track& track : song.tracks) {
    Result<audio::AudioBuffer> reference = audio::renderSong({track.events}, song.tempo, soundFont);
    if (!reference) return tellNotMeasured(reference.problem().message, report.notices);
    const auto part = std::find_if(parts.begin(), parts.end(), [&](const TrackPart& p) { return p.index == track.index; });
    if (part != parts.end() && !silent(*reference)) measureTrack(playback, *part, *reference, "", report);
    addInto(sum, std::move(*reference));
  }
  if (silent(sum)) return tellNotMeasured(silentReferenceMessage(""), report.notices);
  report.song = measurePart(playback, playback.background, sum, "", "", report.notices);
}

// The author's render at `path`, when it can be read and holds sound; else why not, told.
std::optional<audio::AudioBuffer> readReference(const std::string& path, const audio::AudioBackend& backend,
                                                Notices& notices) {
  Result<audio::AudioBuffer> reference = backend.read(path);
  if (!reference) {
    tellNotMeasured(reference.problem().message, notices);
    return std::nullopt;
  }
  if (silent(*reference)) {
    tellNotMeasured(silentReferenceMessage(path), notices);
    return std::nullopt;
  }
  return std::move(*reference);
}

void measureAgainstTrackRenders(const Project& project, const Playback& playback, const std::string& folder,
                                FidelityReport& report) {
  const std::vector<TrackPart> parts = trackParts(project);
  std::vector<std::string> names;
  for (const TrackPart& part : parts) names.push_back(part.definitionName);
  const audio::AudioBackend& backend = *playback.output.backend;
  const Result<audio::StemFiles> renders = audio::findStems(folder, names, backend.readableExtensions(), {});
  if (!renders) return tellNotMeasured(renders.problem().message, report.notices);
  for (const TrackPart& part : parts) {
    const auto path = renders->pathOfStem.find(part.definitionName);
    if (path == renders->pathOfStem.end()) {
      report.notices.push_back(warningNotice(trackReferenceMissingMessage(folder, part.definitionName)));
      continue;
    }
    if (std::optional<audio::AudioBuffer> reference = readReference(path->second, backend, report.notices))
      measureTrack(playback, part, *reference, path->second, report);
  }
}

void measureCut(const Project& project, const Playback& playback, const KeysoundRequest& request,
                FidelityReport& report) {
  if (request.recording) {
    if (std::optional<audio::AudioBuffer> mix = readReference(*request.recording, *playback.output.backend, report.notices))
      report.song = measurePart(playback, playback.background, *mix, "", *request.recording, report.notices);
  }
  if (request.trackRecordings) measureAgainstTrackRenders(project, playback, *request.trackRecordings, report);
}

}  // namespace

FidelityReport measureFidelity(const Project& project, const std::string& chartPath,
                               const KeysoundRequest& request, const audio::SoundOutput& output) {
  FidelityReport report;
  if (request.stemsFolder && !request.recording && !request.trackRecordings) return report;
  const Result<audio::ChartBackground> background = chartBackground(project, chartPath);
  if (!background) {
    tellNotMeasured(background.problem().message, report.notices);
    return report;
  }
  const Playback playback{*background, chartPath, output, request.stemsFolder ? 0 : audio::synthBlockFrames()};
  if (request.stemsFolder)
    measureCut(project, playback, request, report);
  else
    measureSynthesized(project, playback, request.soundFont, report);
  return report;
}

}  // namespace rendlow
