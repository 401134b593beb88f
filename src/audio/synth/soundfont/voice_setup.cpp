#include "audio/synth/soundfont/voice_setup.h"

#include "audio/synth/soundfont/modulators.h"

namespace rendlow::audio::soundfont {

namespace {

// Generators a preset zone may not change: the sample's addresses and what only an instrument
// zone says of its sample.
bool instrumentOnly(int generator) {
  switch (generator) {
    case kStartAddressOffset:
    case kEndAddressOffset:
    case kLoopStartOffset:
    case kLoopEndOffset:
    case kStartAddressCoarseOffset:
    case kEndAddressCoarseOffset:
    case kLoopStartCoarseOffset:
    case kLoopEndCoarseOffset:
    case kKeyNumber:
    case kVelocity:
    case kSampleModes:
    case kExclusiveClass:
    case kOverridingRootKey:
    case kKeyRange:
    case kVelocityRange:
    case kInstrument:
    case kSampleId:
      return true;
    default:
      return false;
  }
}

// Each generator from the local zone if it sets it, else the global one.
int16_t levelAmount(const Zone& global, const Zone& local, int generator, bool& set) {
  set = local.set.test(static_cast<std::size_t>(generator)) ||
        global.set.test(static_cast<std::size_t>(generator));
  return local.set.test(static_cast<std::size_t>(generator))
             ? local.amounts[static_cast<std::size_t>(generator)]
             : global.amounts[static_cast<std::size_t>(generator)];
}

VoiceSetup setupOf(const SoundFont& font, const Preset& preset, const Zone& presetZone,
                   const Instrument& instrument, const Zone& zone) {
  VoiceSetup setup;
  setup.sample = &font.samples[static_cast<std::size_t>(zone.target)];
  setup.generators = generatorDefaults();
  for (int g = 0; g < kGeneratorCount; ++g) {
    bool set = false;
    const int16_t amount = levelAmount(instrument.global, zone, g, set);
    if (set) setup.generators[static_cast<std::size_t>(g)] = amount;
    const int16_t added = levelAmount(preset.global, presetZone, g, set);
    if (set && !instrumentOnly(g)) setup.generators[static_cast<std::size_t>(g)] += added;
  }
  setup.modulators = defaultModulators();
  std::vector<Modulator> own = instrument.global.modulators;
  mergeModulators(own, zone.modulators, false);
  mergeModulators(setup.modulators, own, false);
  std::vector<Modulator> added = preset.global.modulators;
  mergeModulators(added, presetZone.modulators, false);
  mergeModulators(setup.modulators, added, true);
  return setup;
}

}  // namespace

const std::array<double, kGeneratorCount>& generatorDefaults() {
  static const std::array<double, kGeneratorCount> defaults = [] {
    std::array<double, kGeneratorCount> values{};
    values[kFilterCutoff] = 13500;
    for (Generator timed :
         {kModLfoDelay, kVibLfoDelay, kModEnvDelay, kModEnvAttack, kModEnvHold, kModEnvDecay, kModEnvRelease,
          kVolEnvDelay, kVolEnvAttack, kVolEnvHold, kVolEnvDecay, kVolEnvRelease}) {
      values[timed] = -12000;
    }
    values[kKeyNumber] = -1;
    values[kVelocity] = -1;
    values[kScaleTuning] = 100;
    values[kOverridingRootKey] = -1;
    return values;
  }();
  return defaults;
}

std::vector<VoiceSetup> voicesFor(const SoundFont& font, const Preset& preset, int key, int velocity) {
  std::vector<VoiceSetup> voices;
  for (const Zone& presetZone : preset.zones) {
    if (!presetZone.keys.holds(key) || !presetZone.velocities.holds(velocity)) continue;
    const Instrument& instrument = font.instruments[static_cast<std::size_t>(presetZone.target)];
    for (const Zone& zone : instrument.zones) {
      if (!zone.keys.holds(key) || !zone.velocities.holds(velocity)) continue;
      if (font.samples[static_cast<std::size_t>(zone.target)].type & kRomSample) continue;
      voices.push_back(setupOf(font, preset, presetZone, instrument, zone));
    }
  }
  return voices;
}

}  // namespace rendlow::audio::soundfont
