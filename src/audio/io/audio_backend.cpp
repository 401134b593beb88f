#include "audio/io/audio_backend.h"

#include "base/file_input.h"
#include "base/file_output.h"
#include "base/messages_audio.h"

namespace rendlow::audio {

const AudioBackend& defaultBackend() {
  const AudioBackend* library = sndfileBackend();
  return library ? *library : builtinBackend();
}

Result<std::string> readSoundFileBytes(const std::string& path) {
  // A folder is opened like a file: the system's error says what is wrong with it.
  Result<std::string> bytes = readWholeFile<std::string>(path, {fileSystemReason, nullptr});
  if (!bytes) return Problem{audioUnreadableMessage(path, bytes.problem().message)};
  return bytes;
}

Result<void> writeSoundFile(const std::string& path, std::string_view bytes) {
  const Result<void> written = writeFileAtomically(path, bytes, FileMode::Binary);
  if (!written) return Problem{audioNotWrittenMessage(path, written.problem().message)};
  return {};
}

std::string extensionOf(AudioFileType type) { return type == AudioFileType::Wav ? ".wav" : ".ogg"; }

}  // namespace rendlow::audio
