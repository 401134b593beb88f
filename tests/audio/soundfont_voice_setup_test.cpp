#include <gtest/gtest.h>

#include "audio/synth/soundfont/modulators.h"
#include "audio/synth/soundfont/voice_setup.h"
#include "support/case_table.h"

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

// The font data/voice_setups.txt describes.
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

TEST(SoundFontVoiceSetup, AddsThePresetsGeneratorsToTheInstruments) {
  const SoundFont font = layered();
  for (const rendlow::test::CaseLine& c : rendlow::test::readCaseTable("audio/data/voice_setups.txt")) {
    SCOPED_TRACE(c.where + " " + c.columns.at(0));
    const std::vector<int64_t> numbers =
        rendlow::test::numbersOf(c.columns.at(1) + " " + c.columns.at(2) + " " + c.columns.at(3));
    const std::vector<VoiceSetup> voices =
        voicesFor(font, font.presets[0], static_cast<int>(numbers.at(0)), 100);
    ASSERT_EQ(voices.size(), 1u);
    EXPECT_EQ(voices[0].generators[static_cast<std::size_t>(numbers.at(1))],
              static_cast<double>(numbers.at(2)));
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
