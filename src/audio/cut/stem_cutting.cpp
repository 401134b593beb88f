#include "audio/cut/stem_cutting.h"

#include <algorithm>
#include <cmath>

#include "audio/cut/stem_folder.h"
#include "audio/synth/tempo_map.h"
#include "base/messages_audio.h"
#include "base/text.h"

namespace rendlow::audio {

namespace {

AudioBuffer sliceFrames(const AudioBuffer& source, int64_t startFrame, int64_t endFrame) {
  const int64_t start = std::clamp<int64_t>(startFrame, 0, source.frames());
  const int64_t end = std::clamp<int64_t>(endFrame, start, source.frames());
  AudioBuffer slice{source.sampleRate, source.channels, {}};
  slice.samples.assign(source.samples.begin() + start * source.channels,
                       source.samples.begin() + end * source.channels);
  return slice;
}

bool frameIsSilent(const AudioBuffer& buffer, int64_t frame) {
  for (int32_t channel = 0; channel < buffer.channels; ++channel) {
    if (std::fabs(buffer.at(frame, channel)) >= kSilentLevel) return false;
  }
  return true;
}

void dropTrailingSilence(AudioBuffer& buffer) {
  int64_t frames = buffer.frames();
  while (frames > 0 && frameIsSilent(buffer, frames - 1)) --frames;
  buffer.samples.resize(static_cast<std::size_t>(frames * buffer.channels));
}

// Frame i of the last n is scaled by (n - 1 - i) / n: a straight line that reaches zero on the
// last frame, so the sound ends on silence whatever follows it in the chart.
void fadeOut(AudioBuffer& buffer) {
  const int64_t fadeFrames =
      std::min<int64_t>(std::llround(kFadeOutSeconds * buffer.sampleRate), buffer.frames());
  const int64_t first = buffer.frames() - fadeFrames;
  for (int64_t i = 0; i < fadeFrames; ++i) {
    const float gain =
        static_cast<float>(static_cast<double>(fadeFrames - 1 - i) / static_cast<double>(fadeFrames));
    for (int32_t channel = 0; channel < buffer.channels; ++channel) buffer.at(first + i, channel) *= gain;
  }
}

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

// How many of the sounds start at or past the stem's last frame.
int32_t soundsPastEnd(const StemTrack& track, const AudioBuffer& stem) {
  int32_t count = 0;
  for (const StemSound& sound : track.sounds)
    count += frameAt(sound.startSeconds, stem.sampleRate) >= stem.frames();
  return count;
}

Result<void> cutTrack(const StemTrack& track, const std::string& stemPath, const SoundOutput& output,
                      SoundFilesReport& report) {
  Result<AudioBuffer> stem = output.backend->read(stemPath);
  if (!stem) {
    report.notices.push_back(warningNotice(stem.problem().message));
    return {};
  }
  if (const int32_t pastEnd = soundsPastEnd(track, *stem); pastEnd > 0) {
    const double stemSeconds = static_cast<double>(stem->frames()) / stem->sampleRate;
    report.notices.push_back(
        warningNotice(stemTooShortMessage(stemPath, stemSeconds, track.sounds.back().startSeconds, pastEnd)));
  }
  for (const StemSound& sound : track.sounds) {
    const int64_t start = frameAt(sound.startSeconds, stem->sampleRate);
    if (start >= stem->frames()) continue;
    // No sound comes after the last one to end it: it keeps the stem's release to its end.
    const int64_t end =
        &sound == &track.sounds.back() ? stem->frames() : frameAt(sound.endSeconds, stem->sampleRate);
    const AudioBuffer cut = cutSound(*stem, start, end);
    if (Result<void> written = writeSound(output, sound.fileName, cut, report); !written) return written;
  }
  return {};
}

}  // namespace

AudioBuffer cutSound(const AudioBuffer& source, int64_t startFrame, int64_t endFrame) {
  AudioBuffer sound = sliceFrames(source, startFrame, endFrame);
  dropTrailingSilence(sound);
  fadeOut(sound);
  return sound;
}

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
  for (const std::string& path : stems->extraFiles)
    report.notices.push_back(warningNotice(extraStemMessage(path)));
  for (const StemTrack& track : tracks) {
    auto stemPath = stems->pathOfStem.find(track.stemName);
    if (stemPath == stems->pathOfStem.end()) continue;
    if (Result<void> cut = cutTrack(track, stemPath->second, output, report); !cut) return cut.problem();
  }
  return report;
}

}  // namespace rendlow::audio
