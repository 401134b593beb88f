#include "audio/cut/sound_cut.h"

#include <algorithm>
#include <cmath>

#include "base/messages_audio.h"

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
    if (std::fabs(buffer.at(frame, channel)) >= kAudibleFloor) return false;
  }
  return true;
}

// The frames up to the last one a 16-bit file still hears.
int64_t audibleFrames(const AudioBuffer& buffer) {
  int64_t frames = buffer.frames();
  while (frames > 0 && frameIsSilent(buffer, frames - 1)) --frames;
  return frames;
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

// A silent sound keeps its place in time: a file of zeros as long as its span, one frame at least.
AudioBuffer silenceFor(AudioBuffer slice) {
  std::fill(slice.samples.begin(), slice.samples.end(), 0.0f);
  if (slice.frames() == 0) slice.samples.assign(static_cast<std::size_t>(std::max(slice.channels, 1)), 0.0f);
  return slice;
}

}  // namespace

bool isSilent(const AudioBuffer& sound) {
  return std::none_of(sound.samples.begin(), sound.samples.end(),
                      [](float sample) { return std::fabs(sample) >= kAudibleFloor; });
}

AudioBuffer cutSound(const AudioBuffer& source, int64_t startFrame, int64_t endFrame) {
  AudioBuffer sound = sliceFrames(source, startFrame, endFrame);
  const int64_t audible = audibleFrames(sound);
  if (audible == 0) return silenceFor(std::move(sound));
  if (audible < sound.frames()) {
    // The sound died away before the cut: it ends on its own, with nothing to fade.
    sound.samples.resize(static_cast<std::size_t>(audible * sound.channels));
    return sound;
  }
  fadeOut(sound);
  return sound;
}

Result<void> TrackSoundWriter::write(const std::string& fileName, const AudioBuffer& recording,
                                     int64_t startFrame, int64_t endFrame) {
  const AudioBuffer sound = cutSound(recording, startFrame, endFrame);
  silent_ += isSilent(sound);
  ++written_;
  return writeSound(output_, fileName, sound, report_);
}

void TrackSoundWriter::finish() {
  if (silent_ > 0) report_.notices.push_back(warningNotice(silentSoundsMessage(stemName_, silent_, written_)));
}

Result<void> writeTrackSounds(const std::string& stemName, const AudioBuffer& recording,
                              const std::vector<SoundSpan>& spans, const SoundOutput& output,
                              SoundFilesReport& report) {
  TrackSoundWriter writer(stemName, output, report);
  for (const SoundSpan& span : spans) {
    if (Result<void> written = writer.write(span.fileName, recording, span.startFrame, span.endFrame); !written)
      return written;
  }
  writer.finish();
  return {};
}

}  // namespace rendlow::audio
