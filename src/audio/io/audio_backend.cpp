#include "audio/io/audio_backend.h"

namespace rendlow::audio {

const AudioBackend& defaultBackend() {
  const AudioBackend* library = sndfileBackend();
  return library ? *library : builtinBackend();
}

std::string extensionOf(AudioFileType type) { return type == AudioFileType::Wav ? ".wav" : ".ogg"; }

}  // namespace rendlow::audio
