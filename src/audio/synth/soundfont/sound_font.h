#pragma once

// A SoundFont 2 bank as a value: its presets and instruments with their zones, the sample
// headers and the sample data, as read from the file and checked (see readSoundFont).

#include <array>
#include <bitset>
#include <cstdint>
#include <string>
#include <vector>

namespace rendlow::audio::soundfont {

// The generators a zone may set, by their number in the file.
enum Generator : uint16_t {
  kStartAddressOffset = 0,
  kEndAddressOffset = 1,
  kLoopStartOffset = 2,
  kLoopEndOffset = 3,
  kStartAddressCoarseOffset = 4,
  kModLfoToPitch = 5,
  kVibLfoToPitch = 6,
  kModEnvToPitch = 7,
  kFilterCutoff = 8,
  kFilterResonance = 9,
  kModLfoToFilterCutoff = 10,
  kModEnvToFilterCutoff = 11,
  kEndAddressCoarseOffset = 12,
  kModLfoToVolume = 13,
  kChorusSend = 15,
  kReverbSend = 16,
  kPan = 17,
  kModLfoDelay = 21,
  kModLfoFrequency = 22,
  kVibLfoDelay = 23,
  kVibLfoFrequency = 24,
  kModEnvDelay = 25,
  kModEnvAttack = 26,
  kModEnvHold = 27,
  kModEnvDecay = 28,
  kModEnvSustain = 29,
  kModEnvRelease = 30,
  kKeyToModEnvHold = 31,
  kKeyToModEnvDecay = 32,
  kVolEnvDelay = 33,
  kVolEnvAttack = 34,
  kVolEnvHold = 35,
  kVolEnvDecay = 36,
  kVolEnvSustain = 37,
  kVolEnvRelease = 38,
  kKeyToVolEnvHold = 39,
  kKeyToVolEnvDecay = 40,
  kInstrument = 41,
  kKeyRange = 43,
  kVelocityRange = 44,
  kLoopStartCoarseOffset = 45,
  kKeyNumber = 46,
  kVelocity = 47,
  kInitialAttenuation = 48,
  kLoopEndCoarseOffset = 50,
  kCoarseTune = 51,
  kFineTune = 52,
  kSampleId = 53,
  kSampleModes = 54,
  kScaleTuning = 56,
  kExclusiveClass = 57,
  kOverridingRootKey = 58,
  kGeneratorCount = 61,
};

// What a modulator acts on besides the generators: the pitch, which pitch bend moves.
constexpr uint16_t kInitialPitch = 59;

// A modulator as the file holds it: sources and transform in their packed form.
struct Modulator {
  uint16_t source = 0;
  uint16_t destination = 0;
  int16_t amount = 0;
  uint16_t amountSource = 0;
  uint16_t transform = 0;

  // Two modulators are identical when all but their amounts agree: a later one replaces or adds to
  // an earlier one.
  bool sameAs(const Modulator& other) const {
    return source == other.source && destination == other.destination && amountSource == other.amountSource &&
           transform == other.transform;
  }
};

// An inclusive range of keys or velocities.
struct Range {
  uint8_t low = 0;
  uint8_t high = 127;
  bool holds(int value) const { return value >= low && value <= high; }
};

// One zone of a preset or instrument: the generators it sets, its modulators, and the instrument
// (of a preset zone) or sample (of an instrument zone) it plays; a global zone plays none.
struct Zone {
  std::array<int16_t, kGeneratorCount> amounts{};
  std::bitset<kGeneratorCount> set;
  std::vector<Modulator> modulators;
  Range keys;
  Range velocities;
  int32_t target = -1;

  bool has(Generator generator) const { return set.test(generator); }
  int16_t amount(Generator generator) const { return amounts[generator]; }
};

// An instrument or preset: its zones and the global zone whose settings they share.
struct ZoneList {
  std::string name;
  Zone global;
  std::vector<Zone> zones;
};

struct Preset : ZoneList {
  uint16_t program = 0;
  uint16_t bank = 0;
};

using Instrument = ZoneList;

// Sample type bits: a ROM sample has no data in the file and plays nothing.
constexpr uint16_t kRomSample = 0x8000;

struct SampleHeader {
  std::string name;
  uint32_t start = 0;
  uint32_t end = 0;  // the first sample point after the sample
  uint32_t loopStart = 0;
  uint32_t loopEnd = 0;  // the first sample point after the loop
  uint32_t sampleRate = 0;
  uint8_t originalKey = 60;
  int8_t pitchCorrection = 0;
  uint16_t type = 1;
};

struct SoundFont {
  std::vector<Preset> presets;
  std::vector<Instrument> instruments;
  std::vector<SampleHeader> samples;
  // The sample points: the upper 16 bits, and the lower 8 of 24-bit data when the file has them.
  std::vector<int16_t> points;
  std::vector<uint8_t> lowBytes;

  // Sample point `index` in [-1, 1).
  float point(std::size_t index) const {
    const int32_t high = points[index];
    if (lowBytes.empty()) return static_cast<float>(high) * (1.0f / 32768.0f);
    return static_cast<float>(high * 256 + lowBytes[index]) * (1.0f / 8388608.0f);
  }
};

}  // namespace rendlow::audio::soundfont
