#include "wav_bytes.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace rendlow::audio::test {

namespace {

std::string littleEndian(uint32_t value, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  return out;
}

}  // namespace

std::string le16(uint32_t value) { return littleEndian(value, 2); }
std::string le24(uint32_t value) { return littleEndian(value, 3); }
std::string le32(uint32_t value) { return littleEndian(value, 4); }

std::string floatBytes(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return le32(bits);
}

std::string chunk(const std::string& id, const std::string& body, bool pad) {
  std::string out = id + le32(static_cast<uint32_t>(body.size())) + body;
  if (pad && body.size() % 2 == 1) out.push_back('\0');
  return out;
}

std::string formatBody(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
  const uint32_t blockAlign = channels * (bits / 8u);
  return le16(tag) + le16(channels) + le32(rate) + le32(rate * blockAlign) + le16(blockAlign) + le16(bits);
}

std::string extensibleFormatBody(uint16_t subTag, uint16_t channels, uint32_t rate, uint16_t bits) {
  const std::string guidTail("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
  return formatBody(0xFFFE, channels, rate, bits) + le16(22) + le16(bits) + le32(3) + le16(subTag) + guidTail;
}

std::string riffWave(const std::vector<std::string>& chunks) {
  std::string body = "WAVE";
  for (const std::string& c : chunks) body += c;
  return "RIFF" + le32(static_cast<uint32_t>(body.size())) + body;
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string dataFile(const std::string& name) { return RENDLOW_TEST_DATA_DIR "/audio/data/" + name; }

}  // namespace rendlow::audio::test
