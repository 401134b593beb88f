#include "audio/fidelity/chart_sounds.h"

#include "base/file_input.h"
#include "base/messages_audio.h"
#include "base/path_names.h"

namespace rendlow::audio {

namespace {

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

}  // namespace

ChartSounds ChartSounds::read(const ChartBackground& background, const std::string& chartPath,
                              const std::string& soundFolder, int32_t sampleRate, int32_t channels,
                              const AudioBackend& backend) {
  ChartSounds read;
  read.shape_ = AudioBuffer{sampleRate, channels, {}};
  for (const BackgroundObject& object : background.objects) {
    auto file = background.soundFiles.find(object.wavId);
    if (file == background.soundFiles.end() || read.sounds_.count(object.wavId) || read.problems_.count(object.wavId))
      continue;
    Result<AudioBuffer> sound = loadSound(findSoundFile(soundFolder, file->second, backend), chartPath, read.shape_, backend);
    if (sound)
      read.sounds_.emplace(object.wavId, std::move(*sound));
    else
      read.problems_.emplace(object.wavId, sound.problem());
  }
  return read;
}

std::optional<Problem> ChartSounds::problemOf(const ChartBackground& part) const {
  for (const BackgroundObject& object : part.objects) {
    if (auto problem = problems_.find(object.wavId); problem != problems_.end()) return problem->second;
  }
  return std::nullopt;
}

const AudioBuffer* ChartSounds::sound(int32_t wavId) const {
  auto found = sounds_.find(wavId);
  return found == sounds_.end() ? nullptr : &found->second;
}

}  // namespace rendlow::audio
