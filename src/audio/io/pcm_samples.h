#pragma once

// Samples as WAV files store them: little-endian integers of 16, 24 or 32 bits, or 32-bit IEEE
// floats, and the one encoding we write, 16-bit integers.

#include <cstdint>
#include <string_view>
#include <vector>

namespace rendlow::audio {

enum class SampleEncoding { Int16, Int24, Int32, Float32 };

int32_t bytesPerSample(SampleEncoding encoding);

uint16_t littleEndian16(const char* bytes);
uint32_t littleEndian32(const char* bytes);

// Every whole sample of `bytes`, as floats: integers scaled by 2^-(bits-1), so full scale
// negative is exactly -1; floats as stored, clamped to [-1, 1] with NaN as silence.
void appendDecodedSamples(std::string_view bytes, SampleEncoding encoding, std::vector<float>& out);

// A float sample as 16 bits: scaled by 32768, rounded half away from zero, clipped to the range
// of the type. Reading it back gives the sample exactly when it came from a 16-bit file.
int16_t pcm16FromFloat(float sample);

// Keeps file samples within [-1, 1] whatever a float file holds.
float clampedSample(float sample);

}  // namespace rendlow::audio
