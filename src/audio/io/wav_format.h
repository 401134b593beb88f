#pragma once

#include <cstdint>
#include <string_view>

#include "audio/io/pcm_samples.h"
#include "base/result.h"

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

}  // namespace rendlow::audio
