#include "audio/cut/sound_cut.h"

#include <algorithm>
#include <cmath>

#include "base/messages_audio.h"

namespace rendlow::audio {

namespace {

bool frameIsSilent(const AudioBuffer& buffer, int64_t frame) {
  for (int32_t channel = 0; channel < buffer.channels; ++channel) {
    if (std::fabs(buffer.at(frame, channel)) >= kAudibleFloor) return false;
  }
  return true;
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

// One sound gathered from its recording as the frames pass, block after block. Silent frames are
// only counted until a heard one follows them: the silence after a sound, however long, is never
// held. Taken up, they are zeros, which is all a 16-bit file holds of them.
class GatheredSound {
public:
  explicit GatheredSound(const AudioBuffer& shape) : sound_{shape.sampleRate, shape.channels, {}} {}

  // Frames [from, to) of `block` belong to the sound.
  void add(const AudioBuffer& block, int64_t from, int64_t to) {
    for (int64_t frame = from; frame < to; ++frame) {
      if (frameIsSilent(block, frame)) {
        ++silentAfter_;
        continue;
      }
      sound_.samples.resize(sound_.samples.size() + static_cast<std::size_t>(silentAfter_ * sound_.channels), 0.0f);
      silentAfter_ = 0;
      const auto first = block.samples.begin() + frame * block.channels;
      sound_.samples.insert(sound_.samples.end(), first, first + block.channels);
    }
  }

  // A sound that died away before its end ends on its own, with nothing to fade; one still heard
  // fades out. A silent one keeps its place in time: zeros as long as it, one frame at least.
  AudioBuffer finish() && {
    if (sound_.frames() == 0) return silentLike(sound_, std::max<int64_t>(silentAfter_, 1));
    if (silentAfter_ == 0) fadeOut(sound_);
    return std::move(sound_);
  }

private:
  AudioBuffer sound_;
  int64_t silentAfter_ = 0;
};

// Gathers the frames of [startFrame, endFrame) from `block` on, reading on while the span goes
// past it; `first` is the frame of the recording `block` starts at. The block where the span
// ends stays, as the next span may start in it.
AudioBuffer gatherSpan(SoundStream& recording, int64_t blockFrames, const SoundSpan& span, AudioBuffer& block,
                       int64_t& first) {
  GatheredSound sound(block);
  for (;;) {
    const int64_t from = std::clamp<int64_t>(span.startFrame - first, 0, block.frames());
    sound.add(block, from, std::clamp<int64_t>(span.endFrame - first, from, block.frames()));
    if (span.endFrame - first <= block.frames() || block.frames() == 0) return std::move(sound).finish();
    first += block.frames();
    block = recording.next(blockFrames);
  }
}

}  // namespace

bool isSilent(const AudioBuffer& sound, int64_t firstFrame) {
  return std::none_of(sound.samples.begin() + firstFrame * sound.channels, sound.samples.end(),
                      [](float sample) { return std::fabs(sample) >= kAudibleFloor; });
}

AudioBuffer cutSound(const AudioBuffer& source, int64_t startFrame, int64_t endFrame) {
  const int64_t start = std::clamp<int64_t>(startFrame, 0, source.frames());
  const int64_t end = std::clamp<int64_t>(endFrame, start, source.frames());
  GatheredSound sound(source);
  sound.add(source, start, end);
  return std::move(sound).finish();
}

Result<void> TrackSoundWriter::write(const std::string& fileName, const AudioBuffer& recording,
                                     int64_t startFrame, int64_t endFrame) {
  return writeCut(fileName, cutSound(recording, startFrame, endFrame));
}

Result<void> TrackSoundWriter::writeCut(const std::string& fileName, const AudioBuffer& sound) {
  silent_ += isSilent(sound);
  ++written_;
  return writeSound(output_, fileName, sound, report_);
}

void TrackSoundWriter::finish() {
  if (silent_ > 0) report_.notices.push_back(warningNotice(silentSoundsMessage(stemName_, silent_, written_)));
}

Result<void> writeTrackSounds(const std::string& stemName, SoundStream& recording,
                              const std::vector<SoundSpan>& spans, const SoundOutput& output,
                              SoundFilesReport& report, int64_t blockFrames) {
  TrackSoundWriter writer(stemName, output, report);
  AudioBuffer block = recording.next(blockFrames);
  int64_t first = 0;
  for (const SoundSpan& span : spans) {
    const AudioBuffer sound = gatherSpan(recording, blockFrames, span, block, first);
    if (Result<void> written = writer.writeCut(span.fileName, sound); !written) return written;
  }
  writer.finish();
  return {};
}

}  // namespace rendlow::audio
