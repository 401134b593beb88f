#pragma once

#include <string>
#include <string_view>

#include "audio/io/audio_buffer.h"
#include "base/result.h"

#include "audio/io/pcm_samples.h"

namespace rendlow::audio {

// What a WAV file's "fmt " chunk says about its samples, when we can decode them.
struct WavFormat {
  int32_t channels = 0;
  int32_t sampleRate = 0;
  SampleEncoding encoding = SampleEncoding::Int16;
};

// Reads a "fmt " chunk body, plain or WAVE_FORMAT_EXTENSIBLE carrying PCM or IEEE float. The
// problem carries only the reason.
Result<WavFormat> parseWavFormat(std::string_view body);

constexpr std::size_t kRiffHeaderSize = 12;
constexpr std::size_t kChunkHeaderSize = 8;
// The size a writer streaming to where it cannot seek back leaves in its "RIFF" and "data"
// chunks: the samples run to the end of the file.
constexpr uint32_t kSizeUnknown = 0xFFFFFFFF;

// The bytes a chunk of `id` and `size` holds, of the `available` after its header: its size,
// or all of them for a "data" chunk of unknown size.
inline int64_t chunkBytes(std::string_view id, uint32_t size, int64_t available) {
  return id == "data" && size == kSizeUnknown ? available : int64_t{size};
}

// Whether bytes start as a RIFF WAVE file does.
bool isRiffWave(std::string_view bytes);
// A chunk id as a user may read it: bytes outside printable ASCII as '?'.
std::string printableId(std::string_view id);

// Decodes a RIFF WAVE file held in memory: 16-, 24- or 32-bit PCM or 32-bit float, plain or
// WAVE_FORMAT_EXTENSIBLE, any rate and channel count, its chunks in any order. A chunk that
// claims more bytes than the file holds is refused; nothing is read past the end. `path` only
// names the file in the problem.
Result<AudioBuffer> decodeWav(std::string_view bytes, const std::string& path);

// The bytes of a plain RIFF WAVE file (format tag 1, never WAVE_FORMAT_EXTENSIBLE, which some
// players refuse) of 16-bit samples at the buffer's rate and channel count: a 44-byte header,
// then the samples. The problem carries only the reason (too long for a WAV file).
Result<std::string> encodeWav16(const AudioBuffer& buffer);

}  // namespace rendlow::audio
