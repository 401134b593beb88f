#pragma once

#include <array>
#include <vector>

#include "audio/synth/soundfont/sound_font.h"

namespace rendlow::audio::soundfont {

// What one voice of a note plays: its sample, the sum of its generators, and its modulators.
struct VoiceSetup {
  const SampleHeader* sample = nullptr;
  std::array<double, kGeneratorCount> generators{};
  std::vector<Modulator> modulators;
};

// The format's value of each generator a zone leaves unset.
const std::array<double, kGeneratorCount>& generatorDefaults();

// The voices a preset plays for `key` at `velocity`: one for each instrument zone whose ranges hold
// them, under each preset zone whose ranges hold them. An instrument zone's generators take the
// place of its instrument's global zone's, which take the defaults' place; a preset zone's, or
// else its preset's global zone's, are added to them (those that place the sample excepted).
std::vector<VoiceSetup> voicesFor(const SoundFont& font, const Preset& preset, int key, int velocity);

}  // namespace rendlow::audio::soundfont
