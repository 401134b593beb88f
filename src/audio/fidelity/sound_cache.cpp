#include "audio/fidelity/sound_cache.h"

#include "base/messages_audio.h"

namespace rendlow::audio {

namespace {

std::size_t bytesOf(const AudioBuffer& sound) { return sound.samples.size() * sizeof(float); }

bool readsAsBefore(const AudioBuffer& sound, const AudioBuffer& shape, int64_t frames) {
  return sound.sampleRate == shape.sampleRate && (sound.channels == shape.channels || sound.channels == 1) &&
         sound.frames() == frames;
}

}  // namespace

Result<std::shared_ptr<const AudioBuffer>> SoundCache::get(int32_t id, const std::string& path,
                                                           const AudioBuffer& shape, int64_t frames) {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (auto lost = lost_.find(id); lost != lost_.end()) return lost->second;
  std::shared_ptr<const AudioBuffer> sound = handedOut_[id].lock();
  if (!sound) {
    Result<std::shared_ptr<const AudioBuffer>> read = this->read(path, shape, frames);
    if (!read) return lost_.emplace(id, read.problem()).first->second;
    sound = *read;
    handedOut_[id] = sound;
  }
  keep(id, sound);
  return sound;
}

Result<std::shared_ptr<const AudioBuffer>> SoundCache::read(const std::string& path, const AudioBuffer& shape,
                                                            int64_t frames) {
  Result<AudioBuffer> sound = backend_.read(path);
  if (!sound) return sound.problem();
  if (!readsAsBefore(*sound, shape, frames)) return Problem{soundFileChangedMessage(path)};
  return std::make_shared<const AudioBuffer>(std::move(*sound));
}

// The sound asked for goes first; the ones asked for longest ago go once the kept sounds pass
// the bytes allowed, all but the one just asked for.
void SoundCache::keep(int32_t id, std::shared_ptr<const AudioBuffer> sound) {
  for (auto kept = kept_.begin(); kept != kept_.end(); ++kept) {
    if (kept->first != id) continue;
    kept_.splice(kept_.begin(), kept_, kept);
    return;
  }
  keptSize_ += bytesOf(*sound);
  kept_.emplace_front(id, std::move(sound));
  while (keptSize_ > keptBytes_ && kept_.size() > 1) {
    keptSize_ -= bytesOf(*kept_.back().second);
    kept_.pop_back();
  }
}

}  // namespace rendlow::audio
