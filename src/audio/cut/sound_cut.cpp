#include "audio/cut/sound_cut.h"

#include <algorithm>
#include <cmath>

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

}  // namespace

AudioBuffer cutSound(const AudioBuffer& source, int64_t startFrame, int64_t endFrame) {
  AudioBuffer sound = sliceFrames(source, startFrame, endFrame);
  dropTrailingSilence(sound);
  fadeOut(sound);
  return sound;
}

}  // namespace rendlow::audio
