#pragma once

#include <array>
#include <cstdint>

#include "audio/synth/soundfont/channel_state.h"
#include "audio/synth/soundfont/envelope.h"
#include "audio/synth/soundfont/lfo.h"
#include "audio/synth/soundfont/low_pass.h"
#include "audio/synth/soundfont/modulators.h"
#include "audio/synth/soundfont/voice_setup.h"

namespace rendlow::audio::soundfont {

// The gain a voice's sound is given before it is mixed, as FluidSynth's default has it, so that
// the same SoundFont comes out as loud from either.
constexpr double kOutputGain = 0.2;

// One sample of a SoundFont playing one note: read at the note's pitch through 4-point
// interpolation, its loop taken as its mode says, shaped by the volume envelope, filtered,
// attenuated and panned into the stereo mix. The modulation envelope and both LFOs move its
// pitch, cutoff and volume; its modulators follow the channel's controllers block by block.
class Voice {
public:
  Voice(const SoundFont& font, VoiceSetup setup, const ChannelState& channel, int key, int velocity,
        double rate);

  // Adds the next `frames` frames (a block at most, every parameter held through it) to the mix.
  void render(int64_t frames, float* left, float* right);
  // The key is let go: the envelopes enter their release, and a loop of mode 3 plays out.
  void release();
  // Silent from the next block on.
  void cut() { finished_ = true; }
  // Let go and faded out over 0.89 s for the whole range, whatever its own release: a voice of
  // an exclusive class when another of its class starts.
  void choke();
  bool finished() const { return finished_; }
  bool released() const { return released_; }
  int key() const { return key_; }
  int exclusiveClass() const { return static_cast<int>(values_[kExclusiveClass]); }

private:
  void modulate();
  void startEnvelopes();
  double pitchCents() const;
  double gain() const;
  float pointAt(int64_t index) const;
  float interpolated() const;
  void step(double increment);
  void placeSample();
  // The volume envelope's level to release from: its attack's amplitude in decibel terms.
  double releaseLevel() const;

  const SoundFont* font_;
  VoiceSetup setup_;
  ModulatorInputs inputs_;
  int key_;
  double rate_;
  // The generators with the modulators' outputs added, and the pitch the modulators add.
  std::array<double, kGeneratorCount> values_{};
  double pitchModulation_ = 0;

  int64_t start_ = 0, end_ = 0, loopStart_ = 0, loopEnd_ = 0;
  int mode_ = 0;
  int64_t index_ = 0;
  double fraction_ = 0;
  bool wrapped_ = false;

  Envelope volume_;
  Envelope modulation_;
  Lfo modLfo_;
  Lfo vibLfo_;
  LowPass filter_;
  double lastGain_ = -1;
  bool released_ = false;
  bool finished_ = false;
};

}  // namespace rendlow::audio::soundfont
