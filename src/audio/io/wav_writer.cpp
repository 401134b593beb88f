#include "audio/io/wav_writer.h"

#include "audio/io/pcm_samples.h"
#include "base/messages_audio.h"

namespace rendlow::audio {

namespace {

// The RIFF size field counts everything after itself: 36 header bytes and the data.
constexpr int64_t kLargestData = 0xFFFFFFFFll - 36;

void putLittleEndian(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// The 44-byte header of a file of `frames` frames.
std::string wav16Header(int32_t sampleRate, int32_t channels, int64_t frames) {
  const uint32_t blockAlign = static_cast<uint32_t>(channels) * 2;
  const uint32_t dataBytes = static_cast<uint32_t>(frames * blockAlign);
  std::string header = "RIFF";
  putLittleEndian(header, 36 + dataBytes, 4);
  header += "WAVEfmt ";
  putLittleEndian(header, 16, 4);
  putLittleEndian(header, 1, 2);
  putLittleEndian(header, static_cast<uint32_t>(channels), 2);
  putLittleEndian(header, static_cast<uint32_t>(sampleRate), 4);
  putLittleEndian(header, static_cast<uint32_t>(sampleRate) * blockAlign, 4);
  putLittleEndian(header, blockAlign, 2);
  putLittleEndian(header, 16, 2);
  header += "data";
  putLittleEndian(header, dataBytes, 4);
  return header;
}

}  // namespace

Result<std::string> encodeWav16(const AudioBuffer& buffer) {
  const int64_t dataBytes = static_cast<int64_t>(buffer.samples.size()) * 2;
  if (dataBytes > kLargestData) return Problem{wavTooLongReason(dataBytes)};
  std::string bytes = wav16Header(buffer.sampleRate, buffer.channels, buffer.frames());
  bytes.reserve(bytes.size() + static_cast<std::size_t>(dataBytes));
  for (float sample : buffer.samples)
    putLittleEndian(bytes, static_cast<uint16_t>(pcm16FromFloat(sample)), 2);
  return bytes;
}

}  // namespace rendlow::audio
