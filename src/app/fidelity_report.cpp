#include "app/fidelity_report.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <set>
#include <utility>

#include "app/bmson_playback.h"
#include "app/paths.h"
#include "app/conversion.h"
#include "audio/cut/stem_folder.h"
#include "audio/fidelity/sound_level.h"
#include "audio/fidelity/fidelity_warnings.h"
#include "audio/fidelity/song_measure.h"
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
  int32_t blockFrames;  // see ChartMix
};

// A converted track with sounds: where it is in the song, its names, and its sound files.
struct TrackPart {
  std::size_t index = 0;
  std::string name;
  std::string definitionName;
  std::set<std::string> soundFiles;
};

std::vector<TrackPart> trackParts(const Song& song, const Converted& converted) {
  const std::vector<audio::RenderingFileTrack> rendered = renderingFileTracks(converted);
  std::vector<TrackPart> parts;
  for (const std::size_t track : converted.tracks) {
    const std::string& definitionName = converted.settings[track].definitionName;
    const auto found = std::find_if(rendered.begin(), rendered.end(), [&](const audio::RenderingFileTrack& r) {
      return r.stemName == definitionName;
    });
    if (found == rendered.end()) continue;
    const std::string& name = song.tracks[track].name;
    TrackPart& part = parts.emplace_back(TrackPart{track, name.empty() ? "(no name)" : name, definitionName, {}});
    for (const audio::RenderingFileSound& sound : found->sounds) part.soundFiles.insert(sound.fileName);
  }
  return parts;
}

// The chart just written, read back as a player reads it, for audio to play its background.
Result<audio::ChartBackground> chartBackground(const Song& song, const Converted& converted,
                                               const std::string& chartPath) {
  if (chartFormatOf(chartPath) == ChartFormat::Bmson) return bmsonBackground(song, converted.chart);
  Result<std::string> text = readWholeFile<std::string>(chartPath, {fileSystemReason, nullptr});
  if (!text) return Problem{chartUnreadableMessage(chartPath, text.problem().message)};
  const ChartTimeline timeline = timelineOf(parseChartText(*text));
  audio::ChartBackground background{timeline.soundFiles, {}};
  for (const TimedObject& object : timeline.objects)
    background.objects.push_back({object.seconds, object.wavId});
  return background;
}

// Against silence every figure is meaningless, however the chart plays.
bool silent(const audio::SoundFile& sound) {
  audio::LevelWatch level;
  const std::unique_ptr<audio::SoundStream> stream = sound.open();
  for (audio::AudioBuffer block = stream->next(audio::kStreamBlockFrames); block.frames() > 0;
       block = stream->next(audio::kStreamBlockFrames))
    level.add(block);
  return std::isinf(level.peakDbfs());
}

void tellNotMeasured(const Message& why, Notices& notices) {
  notices.push_back(warningNotice(notMeasuredMessage(why)));
}

// `part` of the chart against `reference`, with what its figures warn of; none when it could not
// be played, which is told.
std::optional<audio::FidelityFigures> measurePart(const Playback& playback, const audio::ChartBackground& part,
                                                  const audio::SoundFile& reference,
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

void measureTrack(const Playback& playback, const TrackPart& track, const audio::SoundFile& reference,
                  const std::string& referencePath, FidelityReport& report) {
  const std::optional<audio::FidelityFigures> figures =
      measurePart(playback, audio::partOf(playback.background, track.soundFiles), reference,
                  track.definitionName, referencePath, report.notices);
  if (figures) report.tracks.push_back({track.name, track.definitionName, *figures});
}

// The chart's playback of `part`, when it can be played (null for a track without one); else why
// not, kept to be told if the part is measured.
using PartPlayback = Result<std::unique_ptr<audio::ChartMix>>;

const audio::ChartMix* mixOf(const PartPlayback& part) { return part ? part.value().get() : nullptr; }

// What a part's figures tell, or why it could not be measured; the figures when there are some.
std::optional<audio::FidelityFigures> tellPart(const PartPlayback& part, const std::optional<audio::FidelityFigures>& figures,
                                               const std::string& definitionName, Notices& notices) {
  if (!part) {
    tellNotMeasured(part.problem().message, notices);
    return std::nullopt;
  }
  for (Notice& warning : audio::fidelityWarnings(*figures, definitionName, ""))
    notices.push_back(std::move(warning));
  return figures;
}

// Each converted track rendered alone is its reference, and their sum the song's, rendered and
// compared a block at a time.
void measureSynthesized(const Song& song, const Converted& converted, const Playback& playback, const KeysoundRequest& request,
                        std::optional<audio::SoundFontHold> hold, FidelityReport& report) {
  const std::vector<TrackPart> parts = trackParts(song, converted);
  const SongAsRead asRead = songAsRead(song, converted);
  // Read once: the tracks' mixes and the song's play the same files.
  const audio::ChartSounds sounds = audio::ChartSounds::read(playback.background, playback.chartPath, playback.output.folder,
                                                             audio::kRenderSampleRate, 2, *playback.output.backend);
  std::vector<std::vector<audio::ChannelMessage>> events;
  std::vector<const TrackPart*> partOfTrack;
  std::vector<PartPlayback> playbacks;
  for (const SongAsRead::Track& track : asRead.tracks) {
    events.push_back(track.events);
    const auto part = std::find_if(parts.begin(), parts.end(), [&](const TrackPart& p) { return p.index == track.index; });
    partOfTrack.push_back(part == parts.end() ? nullptr : &*part);
    playbacks.push_back(part == parts.end()
                            ? PartPlayback(nullptr)
                            : audio::ChartMix::open(audio::partOf(playback.background, part->soundFiles),
                                                    sounds, playback.blockFrames));
  }
  const PartPlayback whole = audio::ChartMix::open(playback.background, sounds, playback.blockFrames);
  std::vector<const audio::ChartMix*> mixes;
  for (const PartPlayback& part : playbacks) mixes.push_back(mixOf(part));
  const Result<audio::SongMeasures> measures = audio::measureAgainstSong(
      [&] {
        if (!hold) {
          Result<audio::SoundFontHold> opened = audio::SoundFontHold::open(request.soundFont, request.synth);
          if (!opened) return Result<std::unique_ptr<audio::SongStream>>(opened.problem());
          hold = std::move(*opened);
        }
        Result<std::unique_ptr<audio::SongStream>> stream = audio::SongStream::open(events, asRead.tempo, *hold);
        hold.reset();
        return stream;
      },
      mixes, mixOf(whole));
  if (!measures) return tellNotMeasured(measures.problem().message, report.notices);
  for (std::size_t i = 0; i < partOfTrack.size(); ++i) {
    if (!partOfTrack[i] || measures->trackSilent[i]) continue;
    const TrackPart& part = *partOfTrack[i];
    if (auto figures = tellPart(playbacks[i], measures->tracks[i], part.definitionName, report.notices))
      report.tracks.push_back({part.name, part.definitionName, *figures});
  }
  if (measures->songSilent) return tellNotMeasured(silentReferenceMessage(""), report.notices);
  report.song = tellPart(whole, measures->song, "", report.notices);
}

// The author's render at `path`, when it can be read and holds sound; else why not, told. It is
// read a block at a time as it is measured, however long the song.
std::optional<audio::SoundFile> readReference(const std::string& path, const audio::AudioBackend& backend,
                                              Notices& notices) {
  Result<audio::SoundFile> reference = audio::openSoundFile(path, backend);
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

void measureAgainstTrackRenders(const Song& song, const Converted& converted, const Playback& playback, const std::string& folder,
                                FidelityReport& report) {
  const std::vector<TrackPart> parts = trackParts(song, converted);
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
    if (std::optional<audio::SoundFile> reference = readReference(path->second, backend, report.notices))
      measureTrack(playback, part, *reference, path->second, report);
  }
}

void measureCut(const Song& song, const Converted& converted, const Playback& playback, const KeysoundRequest& request,
                FidelityReport& report) {
  if (request.recording) {
    if (std::optional<audio::SoundFile> mix = readReference(*request.recording, *playback.output.backend, report.notices))
      report.song = measurePart(playback, playback.background, *mix, "", *request.recording, report.notices);
  }
  if (request.trackRecordings) measureAgainstTrackRenders(song, converted, playback, *request.trackRecordings, report);
}

}  // namespace

FidelityReport measureFidelity(const Song& song, const Converted& converted, const std::string& chartPath,
                               const KeysoundRequest& request, const audio::SoundOutput& output,
                               std::optional<audio::SoundFontHold> soundFont) {
  FidelityReport report;
  if (request.stemsFolder && !request.recording && !request.trackRecordings) return report;
  const Result<audio::ChartBackground> background = chartBackground(song, converted, chartPath);
  if (!background) {
    tellNotMeasured(background.problem().message, report.notices);
    return report;
  }
  const Playback playback{*background, chartPath, output, request.stemsFolder ? 0 : audio::synthBlockFrames(request.synth)};
  if (request.stemsFolder)
    measureCut(song, converted, playback, request, report);
  else
    measureSynthesized(song, converted, playback, request, std::move(soundFont), report);
  return report;
}

}  // namespace rendlow
