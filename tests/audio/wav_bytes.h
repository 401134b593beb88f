#pragma once

// WAV files built byte by byte for the tests, so the reader meets files no writer of ours made:
// other encodings, chunks in other orders, and damage.

#include <cstdint>
#include <string>
#include <vector>

namespace rendlow::audio::test {

std::string le16(uint32_t value);
std::string le24(uint32_t value);
std::string le32(uint32_t value);
std::string floatBytes(float value);

// A chunk: id, size, body and the pad byte an odd size asks for (unless `pad` is false).
std::string chunk(const std::string& id, const std::string& body, bool pad = true);
// A plain "fmt " body; the block size and byte rate follow from the others.
std::string formatBody(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits);
// A WAVE_FORMAT_EXTENSIBLE "fmt " body carrying `subTag` (1 PCM, 3 float).
std::string extensibleFormatBody(uint16_t subTag, uint16_t channels, uint32_t rate, uint16_t bits);
// "RIFF", the size of what follows, "WAVE", then the chunks.
std::string riffWave(const std::vector<std::string>& chunks);

void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);
// A committed data file of this suite.
std::string dataFile(const std::string& name);

}  // namespace rendlow::audio::test
