#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

#include "audio/io/audio_buffer.h"
#include "base/result.h"

namespace rendlow::audio {

// The frames a stream is read in: about 1.5 s at 44.1 kHz.
constexpr int64_t kStreamBlockFrames = 65536;

// A sound that comes a block at a time, so that a long song is never held whole.
class SoundStream {
public:
  virtual ~SoundStream() = default;
  // The next frames, `frames` of them until the sound ends: then fewer, and then none.
  virtual AudioBuffer next(int64_t frames) = 0;
  // Once it has been read as far as it is wanted: the problem is a read that failed on the way,
  // where the stream gave silence instead. Only a stream that reads as it plays can fail so.
  virtual Result<void> finish() { return {}; }
};

// A new stream of a sound from its start, as often as it is needed.
using SoundStreamMaker = std::function<std::unique_ptr<SoundStream>()>;

// A sound already in memory, a block at a time.
class BufferStream : public SoundStream {
public:
  explicit BufferStream(const AudioBuffer& buffer) : buffer_(buffer) {}
  AudioBuffer next(int64_t frames) override {
    const int64_t count = std::clamp<int64_t>(buffer_.frames() - at_, 0, frames);
    AudioBuffer block{buffer_.sampleRate, buffer_.channels, {}};
    const auto first = buffer_.samples.begin() + at_ * buffer_.channels;
    block.samples.assign(first, first + count * buffer_.channels);
    at_ += count;
    return block;
  }

private:
  const AudioBuffer& buffer_;
  int64_t at_ = 0;
};

// A sound of no frames, of a shape.
class EmptyStream : public SoundStream {
public:
  explicit EmptyStream(AudioBuffer shape) : shape_(std::move(shape)) {}
  AudioBuffer next(int64_t) override { return shape_; }

private:
  AudioBuffer shape_;
};

}  // namespace rendlow::audio
