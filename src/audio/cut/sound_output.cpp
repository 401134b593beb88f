#include "audio/cut/sound_output.h"

#include "base/interruption.h"
#include "base/messages_audio.h"
#include "base/messages_run.h"
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
  // Once an interrupt is noted no file is put in place (see writeFileAtomically): the author
  // learns how far the files got rather than why one was not written.
  if (const int signal = interruptSignal(); !written && signal)
    return Problem{soundsInterruptedMessage(interruptName(signal), output.written->load(), output.folder)};
  if (!written) return written;
  ++report.filesWritten;
  ++*output.written;
  return written;
}

}  // namespace rendlow::audio
