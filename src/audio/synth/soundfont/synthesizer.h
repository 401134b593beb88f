#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "audio/synth/soundfont/channel_state.h"
#include "audio/synth/soundfont/voice.h"

namespace rendlow::audio::soundfont {

// A General MIDI synthesizer over one SoundFont: sixteen channels, channel 10 the drums, at most
// 256 voices unless told, no reverb or chorus. Messages take effect where its next block of 64 frames begins,
// as with FluidSynth, so that both place a note alike.
class Synthesizer {
public:
  static constexpr int kBlockFrames = 64;
  static constexpr int kChannels = 16;
  static constexpr std::size_t kMaxVoices = 256;

  explicit Synthesizer(std::shared_ptr<const SoundFont> font, double rate = 44100, std::size_t maxVoices = kMaxVoices);

  // A channel message by its status and data bytes.
  void apply(uint8_t status, uint8_t data1, uint8_t data2);
  // The next `frames` frames of the mix, stereo interleaved, added to `out`.
  void render(int64_t frames, float* out);
  // The next `frames` frames of each channel alone, stereo interleaved, added to `channels`' 16.
  void renderChannels(int64_t frames, const std::array<float*, kChannels>& channels);
  // Every voice of `channel` silenced at once.
  void silence(int channel);
  bool sounding() const { return !voices_.empty(); }
  bool soundingOn(int channel) const;
  const ChannelState& channel(int number) const { return channels_[static_cast<std::size_t>(number)]; }

private:
  struct Playing {
    Voice voice;
    int channel = 0;
    bool sustained = false;  // let go while the pedal was down
  };

  void noteOn(int channel, int key, int velocity);
  void noteOff(int channel, int key);
  void control(int channel, int controller, int value);
  void releaseSustained(int channel);
  const Preset* presetFor(const ChannelState& channel) const;
  void makeRoom();
  void renderBlock();

  std::shared_ptr<const SoundFont> font_;
  double rate_;
  std::size_t maxVoices_;
  std::vector<ChannelState> channels_;
  std::map<std::pair<int, int>, std::size_t> presets_;  // by bank and program
  std::vector<Playing> voices_;                         // oldest first
  // The block rendered last, each channel apart, and how much of it has been handed out.
  std::vector<float> block_;
  int64_t blockUsed_ = kBlockFrames;
};

}  // namespace rendlow::audio::soundfont
