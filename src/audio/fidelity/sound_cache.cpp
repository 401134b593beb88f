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

std::shared_ptr<const AudioBuffer> SoundCache::get(int32_t id, const std::string& path, const AudioBuffer& shape,
                                                   int64_t frames) {
  const std::lock_guard<std::mutex> lock(mutex_);
  std::shared_ptr<const AudioBuffer> sound = handedOut_[id].lock();
  if (!sound) {
    sound = read(path, shape, frames);
    handedOut_[id] = sound;
  }
  keep(id, sound);
  return sound;
}

std::optional<Problem> SoundCache::lostProblem() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return lost_;
}

std::shared_ptr<const AudioBuffer> SoundCache::read(const std::string& path, const AudioBuffer& shape,
                                                    int64_t frames) {
  Result<AudioBuffer> sound = backend_.read(path);
  if (sound && readsAsBefore(*sound, shape, frames)) return std::make_shared<const AudioBuffer>(std::move(*sound));
  if (!lost_) lost_ = sound ? Problem{soundFileChangedMessage(path)} : sound.problem();
  AudioBuffer silence = shape;
  silence.samples.assign(static_cast<std::size_t>(frames * shape.channels), 0.0f);
  return std::make_shared<const AudioBuffer>(std::move(silence));
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
