#include "audio/io/pcm_samples.h"

#include <cmath>
#include <cstring>

namespace rendlow::audio {

namespace {

int32_t signedLittleEndian24(const char* bytes) {
  const auto* b = reinterpret_cast<const unsigned char*>(bytes);
  const uint32_t raw = b[0] | (b[1] << 8) | (static_cast<uint32_t>(b[2]) << 16);
  // Sign-extend through the top byte of a 32-bit word.
  return static_cast<int32_t>(raw << 8) >> 8;
}

float decodedSample(const char* bytes, SampleEncoding encoding) {
  switch (encoding) {
    case SampleEncoding::Int16:
      return static_cast<float>(static_cast<int16_t>(littleEndian16(bytes))) / 32768.0f;
    case SampleEncoding::Int24:
      return static_cast<float>(signedLittleEndian24(bytes)) / 8388608.0f;
    case SampleEncoding::Int32:
      return static_cast<float>(static_cast<int32_t>(littleEndian32(bytes))) / 2147483648.0f;
    case SampleEncoding::Float32: {
      const uint32_t bits = littleEndian32(bytes);
      float value;
      std::memcpy(&value, &bits, sizeof value);
      return clampedSample(value);
    }
  }
  return 0.0f;
}

}  // namespace

int32_t bytesPerSample(SampleEncoding encoding) {
  switch (encoding) {
    case SampleEncoding::Int16:
      return 2;
    case SampleEncoding::Int24:
      return 3;
    case SampleEncoding::Int32:
    case SampleEncoding::Float32:
      return 4;
  }
  return 0;
}

uint16_t littleEndian16(const char* bytes) {
  const auto* b = reinterpret_cast<const unsigned char*>(bytes);
  return static_cast<uint16_t>(b[0] | (b[1] << 8));
}

uint32_t littleEndian32(const char* bytes) {
  const auto* b = reinterpret_cast<const unsigned char*>(bytes);
  return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
}

void appendDecodedSamples(std::string_view bytes, SampleEncoding encoding, std::vector<float>& out) {
  const std::size_t width = static_cast<std::size_t>(bytesPerSample(encoding));
  const std::size_t count = bytes.size() / width;
  out.reserve(out.size() + count);
  for (std::size_t i = 0; i < count; ++i) out.push_back(decodedSample(bytes.data() + i * width, encoding));
}

int16_t pcm16FromFloat(float sample) {
  const double scaled = std::round(static_cast<double>(clampedSample(sample)) * 32768.0);
  return static_cast<int16_t>(scaled > 32767.0 ? 32767.0 : scaled);
}

float clampedSample(float sample) {
  if (std::isnan(sample)) return 0.0f;
  return sample < -1.0f ? -1.0f : (sample > 1.0f ? 1.0f : sample);
}

}  // namespace rendlow::audio
