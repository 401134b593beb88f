#pragma once

#include <cstdint>
#include <vector>

namespace rendlow::audio {

// Sound in memory: frames of one sample per channel, interleaved. Samples read from or written
// to a file lie in [-1, 1]; a mix of several sounds may go past that, which is what its peak
// level tells.
struct AudioBuffer {
  int32_t sampleRate = 44100;
  int32_t channels = 2;
  std::vector<float> samples;

  int64_t frames() const { return channels > 0 ? static_cast<int64_t>(samples.size()) / channels : 0; }
  float& at(int64_t frame, int32_t channel) {
    return samples[static_cast<std::size_t>(frame * channels + channel)];
  }
  float at(int64_t frame, int32_t channel) const {
    return samples[static_cast<std::size_t>(frame * channels + channel)];
  }
};

// An empty buffer of the same rate and channel count as `shape`, `frames` long and silent.
inline AudioBuffer silentLike(const AudioBuffer& shape, int64_t frames) {
  AudioBuffer buffer{shape.sampleRate, shape.channels, {}};
  buffer.samples.assign(static_cast<std::size_t>(frames * shape.channels), 0.0f);
  return buffer;
}

}  // namespace rendlow::audio
