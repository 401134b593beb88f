#pragma once

#include <vector>

#include "audio/synth/soundfont/channel_state.h"
#include "audio/synth/soundfont/sound_font.h"

namespace rendlow::audio::soundfont {

// What a modulator's sources read for one voice: its key and velocity and its channel.
struct ModulatorInputs {
  const ChannelState* channel = nullptr;
  int key = 60;
  int velocity = 100;
};

// The amount a modulator adds to its destination now: its amount times both sources mapped.
double modulatorOutput(const Modulator& modulator, const ModulatorInputs& inputs);

// The modulators every voice starts with: velocity to attenuation, pressure and the
// modulation wheel to vibrato, volume, expression and pan, and pitch bend by its range.
const std::vector<Modulator>& defaultModulators();

// `base` with `level`'s modulators in: one identical to a modulator of `base` takes its place
// (`add` false) or adds its amount to it (`add` true); any other joins the list.
void mergeModulators(std::vector<Modulator>& base, const std::vector<Modulator>& level, bool add);

}  // namespace rendlow::audio::soundfont
