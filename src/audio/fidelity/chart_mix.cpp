#include "audio/fidelity/chart_mix.h"

#include <algorithm>
#include <map>

#include "audio/synth/tempo_map.h"
#include "base/file_input.h"
#include "base/messages_audio.h"
#include "base/path_names.h"

namespace rendlow::audio {

namespace {

struct Placement {
  int64_t start = 0;
  int64_t frames = 0;
  const AudioBuffer* sound = nullptr;
};

// The file a player would open for a #WAV name: the name itself, or the same name with another
// extension the backend reads.
std::string findSoundFile(const std::string& folder, const std::string& name, const AudioBackend& backend) {
  const std::string path = pathIn(folder, name);
  if (fileExists(path)) return path;
  const std::string stem(pathStem(name));
  for (const std::string& extension : backend.readableExtensions()) {
    const std::string other = pathIn(folder, stem + extension);
    if (fileExists(other)) return other;
  }
  return path;
}

Result<AudioBuffer> loadSound(const std::string& path, const std::string& chartPath, const AudioBuffer& shape,
                              const AudioBackend& backend) {
  if (!fileExists(path)) return Problem{soundFileMissingMessage(chartPath, path)};
  Result<AudioBuffer> sound = backend.read(path);
  if (!sound) return sound;
  if (sound->sampleRate != shape.sampleRate) {
    return Problem{sampleRateMismatchMessage(path, sound->sampleRate, shape.sampleRate)};
  }
  if (sound->channels != shape.channels && sound->channels != 1) {
    return Problem{channelCountMismatchMessage(path, sound->channels, shape.channels)};
  }
  return sound;
}

// Every sound the chart uses, read once.
Result<std::map<int32_t, AudioBuffer>> loadSounds(const ChartBackground& background,
                                                  const std::string& chartPath,
                                                  const std::string& soundFolder, const AudioBuffer& shape,
                                                  const AudioBackend& backend) {
  std::map<int32_t, AudioBuffer> sounds;
  for (const BackgroundObject& object : background.objects) {
    auto file = background.soundFiles.find(object.wavId);
    if (file == background.soundFiles.end() || sounds.count(object.wavId)) continue;
    Result<AudioBuffer> sound =
        loadSound(findSoundFile(soundFolder, file->second, backend), chartPath, shape, backend);
    if (!sound) return sound.problem();
    sounds.emplace(object.wavId, std::move(*sound));
  }
  return sounds;
}

// Where each object plays, walking backwards so each knows when its id comes next.
std::vector<Placement> placements(const ChartBackground& background,
                                  const std::map<int32_t, AudioBuffer>& sounds, int32_t sampleRate,
                                  int32_t blockFrames) {
  std::vector<Placement> placed;
  std::map<int32_t, int64_t> nextStartOfId;
  for (auto object = background.objects.rbegin(); object != background.objects.rend(); ++object) {
    auto sound = sounds.find(object->wavId);
    if (sound == sounds.end()) continue;
    const int64_t start = blockFrames > 0 ? blockBoundaryAtOrAfter(object->seconds * sampleRate, blockFrames)
                                          : frameAt(object->seconds, sampleRate);
    int64_t frames = sound->second.frames();
    if (auto next = nextStartOfId.find(object->wavId); next != nextStartOfId.end()) {
      frames = std::min(frames, next->second - start);
    }
    nextStartOfId[object->wavId] = start;
    placed.push_back({start, std::max<int64_t>(frames, 0), &sound->second});
  }
  return placed;
}

void addPlacement(const Placement& placement, AudioBuffer& mix) {
  const AudioBuffer& sound = *placement.sound;
  // The frames a sound would play before the mix's first frame are left out.
  for (int64_t frame = std::max<int64_t>(0, -placement.start); frame < placement.frames; ++frame) {
    const int64_t at = placement.start + frame;
    for (int32_t channel = 0; channel < mix.channels; ++channel) {
      mix.at(at, channel) += sound.at(frame, sound.channels == 1 ? 0 : channel);
    }
  }
}

}  // namespace

ChartBackground partOf(const ChartBackground& background, const std::set<std::string>& fileNames) {
  ChartBackground part;
  for (const auto& [id, file] : background.soundFiles)
    if (fileNames.count(file)) part.soundFiles.emplace(id, file);
  for (const BackgroundObject& object : background.objects)
    if (part.soundFiles.count(object.wavId)) part.objects.push_back(object);
  return part;
}

Result<AudioBuffer> mixChart(const ChartBackground& background, const std::string& chartPath,
                             const std::string& soundFolder, int32_t sampleRate, int32_t channels,
                             const AudioBackend& backend, int32_t blockFrames) {
  AudioBuffer mix{sampleRate, channels, {}};
  Result<std::map<int32_t, AudioBuffer>> sounds =
      loadSounds(background, chartPath, soundFolder, mix, backend);
  if (!sounds) return sounds.problem();
  const std::vector<Placement> placed = placements(background, *sounds, sampleRate, blockFrames);
  int64_t frames = 0;
  for (const Placement& placement : placed) frames = std::max(frames, placement.start + placement.frames);
  mix = silentLike(mix, frames);
  for (const Placement& placement : placed) addPlacement(placement, mix);
  return mix;
}

}  // namespace rendlow::audio
