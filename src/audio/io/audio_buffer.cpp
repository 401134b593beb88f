#include "audio/io/audio_buffer.h"

namespace rendlow::audio {

AudioBuffer silentLike(const AudioBuffer& shape, int64_t frames) {
  AudioBuffer buffer{shape.sampleRate, shape.channels, {}};
  buffer.samples.assign(static_cast<std::size_t>(frames * shape.channels), 0.0f);
  return buffer;
}

}  // namespace rendlow::audio
