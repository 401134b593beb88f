#include "app/keysounds.h"

#include <algorithm>
#include <optional>
#include <set>

#include "app/conversion.h"
#include "app/fidelity_report.h"
#include "app/paths.h"
#include "base/file_input.h"
#include "base/messages.h"
#include "base/messages_audio.h"
#include "base/platform.h"
#include "base/text.h"
#include "bms/chart.h"

namespace rendlow {

namespace {

// Calls `visit(event, tick)` for each event of a list as the slicer left it, with its tick
// counted from the deltas the events were read with. Where the slicer put note-offs of one tick
// in another order, each took its delta along: the song as read is rendered as it always was.
template <typename Visit>
void walk(const EventList& events, Visit visit) {
  int64_t tick = 0;
  for (const MidiEvent& event : events) {
    tick += event.delta;
    visit(event, tick);
  }
}

// Calls `visit(event, tick)` for each event of a laid-out track, at its tick.
template <typename Visit>
void walk(const TimedEventList& events, Visit visit) {
  for (const TimedEvent& event : events) visit(event, event.tick);
}

template <typename List>
std::vector<audio::ChannelMessage> channelMessages(const List& events) {
  std::vector<audio::ChannelMessage> messages;
  walk(events, [&](const EventContent& event, int64_t tick) {
    if (isChannelKind(event.kind)) messages.push_back({tick, event.status, event.head[0], event.head[1]});
  });
  return messages;
}

// The Set Tempo events of `lists`, at their ticks.
template <typename List>
audio::TempoMap tempoMapOf(const Song& song, const std::vector<const List*>& lists) {
  std::vector<audio::TempoChange> changes;
  for (const List* events : lists) {
    walk(*events, [&](const EventContent& event, int64_t tick) {
      if (event.isMeta(kMetaTempo)) changes.push_back({tick, tempoMicroseconds(song, event)});
    });
  }
  return audio::TempoMap(song.header.division, std::move(changes));
}

audio::RenderingFileTrack renderingFileTrack(const Converted& converted, std::size_t track) {
  const LaidOutTrack& layout = converted.layout.tracks[track];
  const std::vector<Note>& notes = converted.sliced[track].notes;
  audio::RenderingFileTrack rendered;
  rendered.stemName = converted.settings[track].definitionName;
  rendered.events = channelMessages(layout.events);
  for (std::size_t i = 0; i < layout.events.size(); ++i) {
    const TimedEvent& event = layout.events[i];
    const int32_t noteIndex = layout.noteOfEvent[i];
    if (!event.startsNote() || noteIndex == kNone) continue;
    const Note& note = notes[static_cast<std::size_t>(noteIndex)];
    if (!note.isHead() || !note.firstOccurrence) continue;
    if (!rendered.sounds.empty()) rendered.sounds.back().endTick = event.tick;
    rendered.sounds.push_back({soundFileName(rendered.stemName, note.sound + 1), event.tick, event.tick});
  }
  if (!rendered.sounds.empty()) rendered.sounds.back().endTick = layout.events.back().tick;
  return rendered;
}

std::vector<audio::StemTrack> stemTracks(const std::vector<audio::RenderingFileTrack>& tracks,
                                         const audio::TempoMap& tempo) {
  std::vector<audio::StemTrack> stems;
  for (const audio::RenderingFileTrack& track : tracks) stems.push_back(audio::stemTrackOf(track, tempo));
  return stems;
}

// The file name of the author's recording of the song when it lies among the stems, where it is
// no stem; empty otherwise.
std::string recordingAmongStems(const KeysoundRequest& request) {
  if (!request.recording || !request.stemsFolder) return "";
  const std::string name(fileNameOf(*request.recording));
  return sameFile(pathIn(*request.stemsFolder, name), *request.recording) ? name : "";
}

Result<void> checkFolder(const std::string& folder) {
  const Result<std::vector<std::string>> names = fileNamesIn(folder, fileSystemReason);
  if (!names) return Problem{stemsFolderUnreadableMessage(folder, names.problem().message)};
  return {};
}

Result<void> checkRecording(const std::string& path) {
  const Result<InputFile> file = openForReading(path, {fileSystemReason, nullptr});
  if (!file) return Problem{audioUnreadableMessage(path, file.problem().message)};
  return {};
}

// Whether `name` (folded) is named as a sound file of one of the folded definition names.
bool namedAsASound(const std::string& name, const std::set<std::string>& stems) {
  const std::optional<std::string_view> definition = soundFileDefinitionName(name);
  return definition && stems.count(std::string(*definition)) > 0;
}

// Removes what it can of `stale`; what it removed moves to the report's removed files.
void clean(std::vector<std::string>& stale, std::vector<std::string>& removed) {
  std::vector<std::string> left;
  for (std::string& path : stale) (removeFile(path) ? removed : left).push_back(std::move(path));
  stale = std::move(left);
}

void tell(const KeysoundRequest& request, const Progress& progress) {
  if (request.progress) request.progress(progress);
}

}  // namespace

std::vector<std::string> staleSoundFiles(const Converted& converted, const std::string& folder,
                                         audio::AudioFileType written) {
  std::set<std::string> stems;
  std::set<std::string> used;
  for (const audio::RenderingFileTrack& track : renderingFileTracks(converted)) {
    stems.insert(caseFolded(track.stemName));
    for (const audio::RenderingFileSound& sound : track.sounds)
      used.insert(caseFolded(audio::soundFileName(written, sound.fileName)));
  }
  const Result<std::vector<std::string>> names = fileNamesIn(folder.empty() ? "." : folder, fileSystemReason);
  std::vector<std::string> stale;
  if (!names) return stale;
  for (const std::string& name : *names) {
    const std::string folded = caseFolded(name);
    if (namedAsASound(folded, stems) && !used.count(folded))
      stale.push_back(folder.empty() ? name : pathIn(folder, name));
  }
  return stale;
}

Result<KeysoundInputs> checkKeysoundInputs(const KeysoundRequest& request) {
  KeysoundInputs inputs;
  if (request.stemsFolder) {
    if (Result<void> stems = checkFolder(*request.stemsFolder); !stems) return stems.problem();
  } else {
    Result<audio::SoundFontHold> hold = audio::SoundFontHold::open(request.soundFont, request.synth);
    if (!hold) return hold.problem();
    inputs.soundFont = std::move(*hold);
  }
  if (request.recording) {
    if (Result<void> recording = checkRecording(*request.recording); !recording) return recording.problem();
  }
  if (request.trackRecordings) {
    if (Result<void> tracks = checkFolder(*request.trackRecordings); !tracks) return tracks.problem();
  }
  return inputs;
}

KeysoundRequest stemsCutRequest(const std::string& songPath, const std::string& stemsFolder) {
  KeysoundRequest cut;
  cut.stemsFolder = stemsFolder;
  const std::string songName(pathStem(fileNameOf(songPath)));
  const std::string mix = pathIn(stemsFolder, songName + "_mix.wav");
  if (fileExists(mix)) cut.recording = mix;
  return cut;
}

Message keysoundSummary(const KeysoundReport& report) {
  Message summary;
  for (const Notice& notice : report.files.notices) summary += linesOf(notice.message, Message());
  summary += report.files.summary();
  for (std::size_t i = 0; i < std::min<std::size_t>(report.trackFidelity.size(), kTracksInSummary); ++i)
    summary = linesOf(summary, audio::trackFidelityLine(report.trackFidelity[i]));
  if (report.fidelity) summary = linesOf(summary, audio::fidelityLine(*report.fidelity));
  for (const Notice& notice : report.measureNotices) summary = linesOf(summary, notice.message);
  if (!report.staleFiles.empty()) summary = linesOf(summary, staleSoundFilesMessage(report.staleFiles));
  if (!report.removedFiles.empty())
    summary = linesOf(summary, staleSoundFilesRemovedMessage(report.removedFiles));
  return summary;
}

std::vector<audio::RenderingFileTrack> renderingFileTracks(const Converted& converted) {
  std::vector<audio::RenderingFileTrack> tracks;
  for (const std::size_t track : converted.tracks) {
    // A track without sounds (a conductor) has nothing to render or cut, and no stem.
    audio::RenderingFileTrack rendered = renderingFileTrack(converted, track);
    if (!rendered.sounds.empty()) tracks.push_back(std::move(rendered));
  }
  return tracks;
}

SongAsRead songAsRead(const Song& song, const Converted& converted) {
  // The song's own events at their own ticks: the slicer's order (a chord's note-offs sorted by
  // pitch) keeps each moved event's delta, and a reference built from it would end notes early
  // just where the chart does, flattering the figure.
  std::vector<const EventList*> asRead;
  for (const MidiTrack& track : song.tracks) asRead.push_back(&track.events);
  SongAsRead asItWasRead{{}, tempoMapOf(song, asRead)};
  for (const std::size_t track : converted.tracks)
    asItWasRead.tracks.push_back({track, channelMessages(*asRead[track])});
  return asItWasRead;
}

audio::TempoMap renderingFileTempoMap(const Song& song, const Converted& converted) {
  std::vector<const TimedEventList*> layouts;
  for (const std::size_t track : converted.tracks) layouts.push_back(&converted.layout.tracks[track].events);
  return tempoMapOf(song, layouts);
}

Result<KeysoundReport> makeKeysounds(const Song& song, const Converted& converted,
                                     const std::string& chartPath, const KeysoundRequest& request,
                                     KeysoundInputs inputs) {
  const std::string folder(folderOf(chartPath));
  const audio::SoundOutput output{folder.empty() ? std::string(".") : folder,
                                  request.ogg ? audio::AudioFileType::OggVorbis : audio::AudioFileType::Wav};
  const std::vector<audio::RenderingFileTrack> tracks = renderingFileTracks(converted);
  const audio::TempoMap tempo = renderingFileTempoMap(song, converted);
  // Rendered, the keysounds and the song they are measured against play from one reading of it.
  std::optional<audio::SoundFontHold> soundFont = std::move(inputs.soundFont);
  if (!request.stemsFolder && !soundFont) {
    Result<audio::SoundFontHold> hold = audio::SoundFontHold::open(request.soundFont, request.synth);
    if (!hold) return hold.problem();
    soundFont = std::move(*hold);
  }
  Progress progress{request.stemsFolder ? WorkPhase::CuttingSounds : WorkPhase::RenderingSounds,
                    false,
                    static_cast<int32_t>(tracks.size()),
                    0,
                    0,
                    0};
  tell(request, progress);
  Result<audio::SoundFilesReport> files =
      request.stemsFolder ? audio::cutStems(stemTracks(tracks, tempo), *request.stemsFolder, output,
                                            recordingAmongStems(request))
                          : audio::renderSounds(tracks, tempo, *soundFont, output);
  if (!files) return files.problem();
  progress.phaseDone = true;
  progress.tracksDone = progress.tracks;
  tell(request, progress);
  returnFreedMemory();
  KeysoundReport report;
  report.files = std::move(files).value();
  report.staleFiles = staleSoundFiles(converted, folder, output.type);
  if (request.clean) clean(report.staleFiles, report.removedFiles);
  const int64_t end = tracks.empty()
                          ? 0
                          : std::max_element(tracks.begin(), tracks.end(),
                                             [](const auto& a, const auto& b) {
                                               return a.sounds.back().endTick < b.sounds.back().endTick;
                                             })
                                ->sounds.back()
                                .endTick;
  progress = {WorkPhase::Measuring, false, progress.tracks, progress.tracks, tempo.secondsAt(end), 0};
  tell(request, progress);
  FidelityReport fidelity =
      measureFidelity(song, converted, chartPath, request, output, std::move(soundFont));
  progress.phaseDone = true;
  progress.secondsMeasured = progress.songSeconds;
  tell(request, progress);
  report.fidelity = fidelity.song;
  report.trackFidelity = audio::worstFirst(std::move(fidelity.tracks));
  report.measureNotices = std::move(fidelity.notices);
  return report;
}

}  // namespace rendlow
