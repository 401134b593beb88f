#include "audio/synth/soundfont/modulators.h"

#include <algorithm>
#include <cmath>

namespace rendlow::audio::soundfont {

namespace {

// The packed source: index (7 bits), MIDI controller flag, direction, polarity, curve type.
constexpr uint16_t kControllerFlag = 0x80;
constexpr uint16_t kNegative = 0x100;
constexpr uint16_t kBipolar = 0x200;
constexpr uint16_t kConcave = 1, kConvex = 2, kSwitch = 3;
constexpr uint16_t kNoSource = 0, kVelocitySource = 2, kKeySource = 3, kKeyPressureSource = 10,
                   kChannelPressureSource = 13, kPitchWheelSource = 14, kBendRangeSource = 16;
constexpr uint16_t kAbsoluteTransform = 2;

constexpr uint16_t source(uint16_t index, uint16_t flags, uint16_t curve) {
  return static_cast<uint16_t>(index | flags | curve << 10);
}

// The concave curve: the loudness a linear rise sounds like, 0 at 0, 1 at 1.
double concave(double x) {
  if (x <= 0) return 0;
  if (x >= 1) return 1;
  return std::min(1.0, -(5.0 / 12.0) * std::log10(1 - x));
}

// The source's value in [0, 1] before its direction and curve; 0 for a source the format does not define.
double rawValue(uint16_t packed, const ModulatorInputs& in) {
  const int index = packed & 0x7F;
  if (packed & kControllerFlag) return in.channel->controller(index) / 127.0;
  switch (index) {
    case kNoSource:
      return 1;
    case kVelocitySource:
      return in.velocity / 127.0;
    case kKeySource:
      return in.key / 127.0;
    case kKeyPressureSource:
      return in.channel->keyPressure(in.key) / 127.0;
    case kChannelPressureSource:
      return in.channel->channelPressure() / 127.0;
    case kPitchWheelSource:
      return in.channel->pitchBend() / 16384.0;
    case kBendRangeSource:
      return in.channel->bendRange() / 127.0;
    default:
      return 0;
  }
}

double mapped(uint16_t packed, const ModulatorInputs& in) {
  if ((packed & 0x7F) == kNoSource && !(packed & kControllerFlag)) return 1;
  double x = rawValue(packed, in);
  if (packed & kNegative) x = 1 - x;
  const bool bipolar = packed & kBipolar;
  const int curve = packed >> 10;
  if (curve == kSwitch) return x >= 0.5 ? 1.0 : (bipolar ? -1.0 : 0.0);
  auto shape = [curve](double v) {
    return curve == kConcave ? concave(v) : curve == kConvex ? 1 - concave(1 - v) : v;
  };
  if (!bipolar) return shape(x);
  const double centred = 2 * x - 1;
  return centred >= 0 ? shape(centred) : -shape(-centred);
}

}  // namespace

double modulatorOutput(const Modulator& modulator, const ModulatorInputs& inputs) {
  const double value =
      modulator.amount * mapped(modulator.source, inputs) * mapped(modulator.amountSource, inputs);
  return modulator.transform == kAbsoluteTransform ? std::abs(value) : value;
}

// The format also lists velocity onto the filter's cutoff, darkening soft notes. FluidSynth leaves
// that one out, as do the sound cards the General MIDI SoundFonts were voiced on, so it is left out
// here too.
const std::vector<Modulator>& defaultModulators() {
  static const std::vector<Modulator> modulators{
      {source(kVelocitySource, kNegative, kConcave), kInitialAttenuation, 960, 0, 0},
      {source(kChannelPressureSource, 0, 0), kVibLfoToPitch, 50, 0, 0},
      {source(ChannelState::kModulation, kControllerFlag, 0), kVibLfoToPitch, 50, 0, 0},
      {source(ChannelState::kVolume, kControllerFlag | kNegative, kConcave), kInitialAttenuation, 960, 0, 0},
      {source(ChannelState::kPan, kControllerFlag | kBipolar, 0), kPan, 500, 0, 0},
      {source(ChannelState::kExpression, kControllerFlag | kNegative, kConcave), kInitialAttenuation, 960, 0,
       0},
      {source(kPitchWheelSource, kBipolar, 0), kInitialPitch, 12700, source(kBendRangeSource, 0, 0), 0},
  };
  return modulators;
}

void mergeModulators(std::vector<Modulator>& base, const std::vector<Modulator>& level, bool add) {
  for (const Modulator& modulator : level) {
    auto same =
        std::find_if(base.begin(), base.end(), [&](const Modulator& m) { return m.sameAs(modulator); });
    if (same == base.end()) {
      base.push_back(modulator);
    } else {
      same->amount = static_cast<int16_t>(add ? std::clamp(same->amount + modulator.amount, -32768, 32767)
                                              : modulator.amount);
    }
  }
}

}  // namespace rendlow::audio::soundfont
