#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "audio/io/audio_buffer.h"
#include "base/result.h"

namespace rendlow::audio {

enum class AudioFileType { Wav, OggVorbis };

// Reads and writes sound files. WAV is written as 16-bit PCM in a plain RIFF WAVE by every
// backend, to the same bytes; only some backends read other containers or write Ogg Vorbis.
// Every file is written whole in memory first and then put in place atomically.
class AudioBackend {
public:
  virtual ~AudioBackend() = default;

  virtual Result<AudioBuffer> read(const std::string& path) const = 0;
  virtual Result<void> write(const std::string& path, const AudioBuffer& buffer,
                             AudioFileType type) const = 0;
  // The lower-case extensions, with their dot, of the files `read` understands.
  virtual std::vector<std::string> readableExtensions() const = 0;
  virtual bool writes(AudioFileType type) const = 0;
};

// Our own WAV reader and writer: in every build, and the only backend on Windows.
const AudioBackend& builtinBackend();
// libsndfile: WAV, Ogg Vorbis and FLAC. Null in a build without it, or where it is not installed.
const AudioBackend* sndfileBackend();
// The most capable backend in this build.
const AudioBackend& defaultBackend();

// For the backends: the bytes of the sound file at `path`, and writing a sound file's bytes
// atomically. Each problem is the whole message naming the file.
Result<std::string> readSoundFileBytes(const std::string& path);
Result<void> writeSoundFile(const std::string& path, std::string_view bytes);

// The extension a file of this type is written with (".wav", ".ogg").
std::string extensionOf(AudioFileType type);

}  // namespace rendlow::audio
