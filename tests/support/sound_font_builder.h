#pragma once

// A SoundFont 2 file made in memory, small enough for a test to say what every byte means: its
// presets, instruments and samples, laid out as the format has them. It knows nothing of the
// reader; a test damages the bytes it returns to see a file refused.

#include <cstdint>
#include <string>
#include <vector>

namespace rendlow::test {

struct FontGenerator {
  uint16_t type = 0;
  uint16_t amount = 0;
};

// A generator holding a range of keys or velocities.
FontGenerator rangeGenerator(uint16_t type, uint8_t low, uint8_t high);

struct FontModulator {
  uint16_t source = 0;
  uint16_t destination = 0;
  int16_t amount = 0;
  uint16_t amountSource = 0;
  uint16_t transform = 0;
};

struct FontZone {
  std::vector<FontGenerator> generators;
  std::vector<FontModulator> modulators;
};

struct FontHeader {
  std::string name;
  uint16_t program = 0;
  uint16_t bank = 0;
  std::vector<FontZone> zones;
};

struct FontSample {
  std::string name;
  std::vector<int16_t> points;
  uint32_t loopStart = 0;  // from the sample's first point
  uint32_t loopEnd = 0;
  uint32_t sampleRate = 44100;
  uint8_t originalKey = 60;
  int8_t pitchCorrection = 0;
};

struct SoundFontBuilder {
  std::vector<FontHeader> presets;
  std::vector<FontHeader> instruments;
  std::vector<FontSample> samples;
  // The low bytes of 24-bit points, one per point of all the samples and their gaps, if any.
  std::vector<uint8_t> lowBytes;

  // The file: every sample followed by the 46 silent points the format asks for.
  std::vector<uint8_t> bytes() const;
  // Where the first byte of a chunk with `id` lies in `bytes()`, its size field 4 bytes on.
  static std::size_t chunkAt(const std::vector<uint8_t>& bytes, const std::string& id);
};

// One looped sample's points: `cycles` periods of a sine of `period` points at full scale
// times `level`.
std::vector<int16_t> sinePoints(int period, int cycles, double level);

}  // namespace rendlow::test
