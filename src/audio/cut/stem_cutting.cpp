#include "audio/cut/stem_cutting.h"

#include <algorithm>
#include <cmath>

#include "audio/cut/stem_check.h"
#include "audio/cut/stem_folder.h"
#include "audio/io/wav_stream.h"
#include "audio/synth/tempo_map.h"
#include "base/messages_audio.h"
#include "base/path_names.h"
#include "base/text.h"

namespace rendlow::audio {

namespace {

std::vector<std::string> stemNamesOf(const std::vector<StemTrack>& tracks) {
  std::vector<std::string> names;
  for (const StemTrack& track : tracks) names.push_back(track.stemName);
  return names;
}

// The names the run writes: a folder of stems may be the chart's folder too.
std::set<std::string> writtenNames(const std::vector<StemTrack>& tracks, const SoundOutput& output) {
  std::set<std::string> names;
  for (const StemTrack& track : tracks) {
    for (const StemSound& sound : track.sounds) {
      names.insert(caseFolded(soundFileName(output.type, sound.fileName)));
    }
  }
  return names;
}

// Each sound from the frame nearest its start to the next sound's; the last one, which nothing
// comes after to end it, keeps the stem's release to its end.
std::vector<SoundSpan> spansIn(const StemTrack& track, int32_t sampleRate) {
  std::vector<SoundSpan> spans;
  for (const StemSound& sound : track.sounds) {
    const bool last = &sound == &track.sounds.back();
    spans.push_back({sound.fileName, frameAt(sound.startSeconds, sampleRate),
                     last ? kRecordingEnd : frameAt(sound.endSeconds, sampleRate)});
  }
  return spans;
}

// The rate of each stem read, to tell a folder of mixed rates.
using StemRates = std::vector<std::pair<std::string, int32_t>>;

Result<void> cutTrack(const StemTrack& track, const std::string& stemPath, const SoundOutput& output,
                      SoundFilesReport& report, StemRates& rates) {
  // A WAV stem is read from the disk a block at a time, once to check it and once to cut it, so
  // that a long song's stems are never held whole.
  Result<SoundFile> stem = openSoundFile(stemPath, *output.backend);
  if (!stem) {
    report.notices.push_back(warningNotice(stem.problem().message));
    return {};
  }
  rates.emplace_back(std::string(fileNameOf(stemPath)), stem->sampleRate);
  if (const StemFit fit = checkStem(track, *stem); !fit.fits()) {
    report.notices.push_back(warningNotice(stemMisfitMessage(stemPath, fit)));
    return {};
  }
  const std::unique_ptr<SoundStream> recording = stem->open();
  return writeTrackSounds(track.stemName, *recording, spansIn(track, stem->sampleRate), output, report);
}

bool mixed(const StemRates& rates) {
  return std::any_of(rates.begin(), rates.end(), [&](const auto& stem) { return stem.second != rates[0].second; });
}

}  // namespace

Result<SoundFilesReport> cutStems(const std::vector<StemTrack>& tracks, const std::string& stemsFolder,
                                  const SoundOutput& output, const std::string& recordingName) {
  std::set<std::string> notStems = writtenNames(tracks, output);
  if (!recordingName.empty()) notStems.insert(caseFolded(recordingName));
  Result<StemFiles> stems =
      findStems(stemsFolder, stemNamesOf(tracks), output.backend->readableExtensions(), notStems);
  if (!stems) return stems.problem();
  SoundFilesReport report{output.folder, 0, {}};
  for (const std::string& stemName : stems->missingStems)
    report.notices.push_back(warningNotice(missingStemMessage(stemsFolder, stemName)));
  for (const auto& [stemName, path] : stems->unreadStems)
    report.notices.push_back(warningNotice(stemFormatNotReadMessage(path, stemName)));
  for (const std::string& path : stems->extraFiles)
    report.notices.push_back(warningNotice(extraStemMessage(path)));
  StemRates rates;
  for (const StemTrack& track : tracks) {
    auto stemPath = stems->pathOfStem.find(track.stemName);
    if (stemPath == stems->pathOfStem.end()) continue;
    if (Result<void> cut = cutTrack(track, stemPath->second, output, report, rates); !cut) return cut.problem();
  }
  if (mixed(rates)) report.notices.push_back(warningNotice(mixedSampleRatesMessage(stemsFolder, rates)));
  return report;
}

}  // namespace rendlow::audio
