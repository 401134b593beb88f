#pragma once

#include <memory>
#include <string>

#include "audio/io/sound_stream.h"
#include "audio/io/pcm_samples.h"
#include "base/file_input.h"
#include "base/result.h"

namespace rendlow::audio {

// A RIFF WAVE file read a block at a time from the disk, as decodeWav reads it whole: the same
// formats, the same chunks, the same problems, but only the block asked for is held, however
// long the recording.
class WavFileStream : public SoundStream {
public:
  static Result<std::unique_ptr<WavFileStream>> open(const std::string& path);
  int32_t sampleRate() const { return shape_.sampleRate; }
  int32_t channels() const { return shape_.channels; }
  AudioBuffer next(int64_t frames) override;

private:
  WavFileStream() = default;

  InputFile file_;
  AudioBuffer shape_;
  SampleEncoding encoding_ = SampleEncoding::Int16;
  int64_t frameBytes_ = 0;
  int64_t framesLeft_ = 0;
};

}  // namespace rendlow::audio

namespace rendlow::audio {

class AudioBackend;

// A sound file ready to be read from its start, as often as needed, with its rate and channels.
struct SoundFile {
  int32_t sampleRate = 0;
  int32_t channels = 0;
  SoundStreamMaker open;
};

// A WAV file is read from the disk a block at a time (see WavFileStream), on each reading; a
// file of another container is read whole by `backend` once and held.
Result<SoundFile> openSoundFile(const std::string& path, const AudioBackend& backend);

}  // namespace rendlow::audio
