#pragma once

#include <string>

#include "audio/io/audio_buffer.h"
#include "base/result.h"

namespace rendlow::audio {

// The bytes of a plain RIFF WAVE file (format tag 1, never WAVE_FORMAT_EXTENSIBLE, which some
// players refuse) of 16-bit samples at the buffer's rate and channel count: a 44-byte header,
// then the samples. The problem carries only the reason (too long for a WAV file).
Result<std::string> encodeWav16(const AudioBuffer& buffer);

}  // namespace rendlow::audio
