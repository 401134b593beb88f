#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "audio/io/audio_backend.h"
#include "audio/io/audio_buffer.h"
#include "base/result.h"

namespace rendlow::audio {

// Sound files read as they are asked for, from several threads: a sound still held by someone is
// handed out again, not read again, and the sounds asked for last are kept up to a number of
// bytes besides, for the next time they are asked for. A sound that no longer reads as it did is
// not read again either: its problem is handed out instead.
class SoundCache {
public:
  SoundCache(const AudioBackend& backend, std::size_t keptBytes) : backend_(backend), keptBytes_(keptBytes) {}

  // The sound of `id` at `path`, which was read before as `frames` frames of `shape`'s rate and
  // channels (or mono). The problem is why the file no longer reads so.
  Result<std::shared_ptr<const AudioBuffer>> get(int32_t id, const std::string& path,
                                                 const AudioBuffer& shape, int64_t frames);

private:
  Result<std::shared_ptr<const AudioBuffer>> read(const std::string& path, const AudioBuffer& shape,
                                                  int64_t frames);
  void keep(int32_t id, std::shared_ptr<const AudioBuffer> sound);

  const AudioBackend& backend_;
  const std::size_t keptBytes_;
  mutable std::mutex mutex_;
  std::map<int32_t, std::weak_ptr<const AudioBuffer>> handedOut_;
  std::list<std::pair<int32_t, std::shared_ptr<const AudioBuffer>>> kept_;  // the last asked for first
  std::size_t keptSize_ = 0;
  std::map<int32_t, Problem> lost_;
};

}  // namespace rendlow::audio
