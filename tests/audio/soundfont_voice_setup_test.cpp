#include <gtest/gtest.h>

#include "audio/synth/soundfont/modulators.h"
#include "audio/synth/soundfont/voice_setup.h"

namespace rendlow::audio::soundfont {
namespace {

Zone zoneWith(std::initializer_list<std::pair<Generator, int16_t>> generators, int32_t target = -1) {
  Zone zone;
  for (auto [generator, amount] : generators) {
    zone.amounts[generator] = amount;
    zone.set.set(generator);
  }
  zone.target = target;
  return zone;
}

// One sample; an instrument with a global zone and two zones over halves of the keyboard; a
// preset over it with a global zone and one zone.
SoundFont layered() {
  SoundFont font;
  font.points.assign(100, 0);
  font.samples.push_back({"s", 0, 100, 0, 100, 44100, 60, 0, 1});
  Instrument instrument;
  instrument.global = zoneWith({{kPan, 100}, {kInitialAttenuation, 50}});
  instrument.zones.push_back(zoneWith({{kPan, 200}}, 0));
  instrument.zones.back().keys = {0, 63};
  instrument.zones.push_back(zoneWith({{kStartAddressOffset, 4}}, 0));
  instrument.zones.back().keys = {64, 127};
  instrument.zones.back().modulators = {{0x0502, kInitialAttenuation, 100, 0, 0}};
  font.instruments.push_back(instrument);
  Preset preset;
  preset.global = zoneWith({{kCoarseTune, 2}, {kInitialAttenuation, 10}});
  preset.zones.push_back(zoneWith({{kInitialAttenuation, 20}, {kStartAddressOffset, 9}}, 0));
  preset.zones.back().modulators = {{0x0502, kInitialAttenuation, 7, 0, 0}};
  font.presets.push_back(preset);
  return font;
}

struct SetupCase {
  const char* what;
  int key;
  Generator generator;
  double value;
};

TEST(SoundFontVoiceSetup, AddsThePresetsGeneratorsToTheInstruments) {
  const SoundFont font = layered();
  const SetupCase cases[] = {
      {"the zone's own pan over its global zone's", 40, kPan, 200},
      {"the global zone's pan where the zone sets none", 80, kPan, 100},
      {"the instrument's attenuation plus the preset zone's, not its global zone's", 40, kInitialAttenuation,
       70},
      {"the preset's global tuning where its zone sets none", 40, kCoarseTune, 2},
      {"the default where no level sets it", 40, kScaleTuning, 100},
      {"a sample offset of the preset counts for nothing", 80, kStartAddressOffset, 4},
  };
  for (const SetupCase& c : cases) {
    const std::vector<VoiceSetup> voices = voicesFor(font, font.presets[0], c.key, 100);
    ASSERT_EQ(voices.size(), 1u) << c.what;
    EXPECT_EQ(voices[0].generators[c.generator], c.value) << c.what;
  }
}

TEST(SoundFontVoiceSetup, AnInstrumentModulatorReplacesItsTwinAndAPresetOneAddsToIt) {
  const SoundFont font = layered();
  const std::vector<VoiceSetup> voices = voicesFor(font, font.presets[0], 80, 100);
  ASSERT_EQ(voices.size(), 1u);
  const Modulator twin{0x0502, kInitialAttenuation, 0, 0, 0};
  int found = 0;
  for (const Modulator& modulator : voices[0].modulators) {
    if (!modulator.sameAs(twin)) continue;
    ++found;
    EXPECT_EQ(modulator.amount, 107);
  }
  EXPECT_EQ(found, 1);
  EXPECT_EQ(voices[0].modulators.size(), defaultModulators().size()) << "the twin of a default";
}

}  // namespace
}  // namespace rendlow::audio::soundfont
