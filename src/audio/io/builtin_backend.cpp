#include "audio/io/audio_backend.h"
#include "audio/io/wav_file.h"
#include "base/messages_audio.h"

namespace rendlow::audio {

namespace {

class BuiltinBackend final : public AudioBackend {
public:
  Result<AudioBuffer> read(const std::string& path) const override {
    Result<std::string> bytes = readSoundFileBytes(path);
    if (!bytes) return bytes.problem();
    return decodeWav(*bytes, path);
  }

  Result<void> write(const std::string& path, const AudioBuffer& buffer, AudioFileType type) const override {
    if (type != AudioFileType::Wav) return Problem{audioNotWrittenMessage(path, oggNotInBuildReason())};
    Result<std::string> bytes = encodeWav16(buffer);
    if (!bytes) return Problem{audioNotWrittenMessage(path, bytes.problem().message)};
    return writeSoundFile(path, *bytes);
  }

  std::vector<std::string> readableExtensions() const override { return {".wav"}; }
  bool writes(AudioFileType type) const override { return type == AudioFileType::Wav; }
};

}  // namespace

const AudioBackend& builtinBackend() {
  static const BuiltinBackend backend;
  return backend;
}

}  // namespace rendlow::audio
