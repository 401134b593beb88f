#include "audio/fidelity/chart_sounds.h"

#include "audio/fidelity/sound_cache.h"
#include "base/file_input.h"
#include "base/messages_audio.h"
#include "base/path_names.h"

namespace rendlow::audio {

namespace {

// The sounds kept for their next time besides those playing: a chart's sounds come again
// and again, and most are a second or two long.
constexpr std::size_t kKeptSoundBytes = std::size_t{8} << 20;

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

ChartSounds::ChartSounds() = default;
ChartSounds::ChartSounds(ChartSounds&&) noexcept = default;
ChartSounds& ChartSounds::operator=(ChartSounds&&) noexcept = default;
ChartSounds::~ChartSounds() = default;

ChartSounds ChartSounds::read(const ChartBackground& background, const std::string& chartPath,
                              const std::string& soundFolder, int32_t sampleRate, int32_t channels,
                              const AudioBackend& backend) {
  ChartSounds read;
  read.shape_ = AudioBuffer{sampleRate, channels, {}};
  read.cache_ = std::make_unique<SoundCache>(backend, kKeptSoundBytes);
  for (const BackgroundObject& object : background.objects) {
    auto file = background.soundFiles.find(object.wavId);
    if (file == background.soundFiles.end() || read.files_.count(object.wavId) || read.problems_.count(object.wavId))
      continue;
    const std::string path = findSoundFile(soundFolder, file->second, backend);
    Result<AudioBuffer> sound = loadSound(path, chartPath, read.shape_, backend);
    if (sound)
      read.files_.emplace(object.wavId, File{path, sound->frames()});
    else
      read.problems_.emplace(object.wavId, sound.problem());
  }
  return read;
}

Result<void> ChartSounds::playable(const ChartBackground& part) const {
  for (const BackgroundObject& object : part.objects) {
    if (auto problem = problems_.find(object.wavId); problem != problems_.end()) return problem->second;
  }
  return {};
}

std::optional<int64_t> ChartSounds::frames(int32_t wavId) const {
  auto found = files_.find(wavId);
  if (found == files_.end()) return std::nullopt;
  return found->second.frames;
}

Result<std::shared_ptr<const AudioBuffer>> ChartSounds::samples(int32_t wavId) const {
  const File& file = files_.at(wavId);
  return cache_->get(wavId, file.path, shape_, file.frames);
}

}  // namespace rendlow::audio
