#include "audio/cut/sound_output.h"

#include "base/messages_audio.h"
#include "base/path_names.h"

namespace rendlow::audio {

Message SoundFilesReport::summary() const { return soundsWrittenMessage(filesWritten, folder); }

std::string soundFileName(AudioFileType type, const std::string& chartName) {
  return std::string(pathStem(chartName)) + extensionOf(type);
}

std::string soundFilePath(const SoundOutput& output, const std::string& fileName) {
  return pathIn(output.folder, soundFileName(output.type, fileName));
}

Result<void> writeSound(const SoundOutput& output, const std::string& fileName, const AudioBuffer& sound,
                        SoundFilesReport& report) {
  Result<void> written = output.backend->write(soundFilePath(output, fileName), sound, output.type);
  if (written) ++report.filesWritten;
  return written;
}

}  // namespace rendlow::audio
