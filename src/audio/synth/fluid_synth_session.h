#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "audio/synth/fluid_library.h"
#include "audio/synth/synth_session.h"

namespace rendlow::audio {

// One FluidSynth synthesizer with a SoundFont loaded (see SynthSession).
class FluidSynthSession final : public SynthSession {
public:
  // A synthesizer for `tracks` tracks (see SynthSessions::open).
  static Result<std::unique_ptr<SynthSession>> open(const std::string& soundFont, int tracks);

  void renderTo(int64_t frame, AudioBuffer& out) override;
  void renderChannels(int64_t frames, std::vector<AudioBuffer>& channels) override;
  void apply(const ChannelMessage& message) override;
  // Adds voices, up to its tracks' worth, while fewer than a track's worth are free.
  void keepVoicesFree() override;
  void silence(const std::set<int>& channels) override;
  bool sounding() const override;
  bool soundingOn(const std::set<int>& channels) const override;
  int32_t blockFrames() const override;
  // The block size of a synthesizer as this program sets one up, without a SoundFont to load.
  static int32_t blockFramesOfSetup();

private:
  explicit FluidSynthSession(const FluidLibrary& fluid)
      : fluid_(&fluid), settings_(nullptr, fluid.deleteSettings), synth_(nullptr, fluid.deleteSynth) {}

  static Result<std::unique_ptr<FluidSynthSession>> openWith(const std::string& soundFont, int channelOutputs, int tracks);

  const FluidLibrary* fluid_;
  int polyphony_ = 0;
  int maxPolyphony_ = 0;
  // Declared first, destroyed last: the synthesizer keeps a pointer to its settings.
  std::unique_ptr<fluid_settings_t, decltype(&delete_fluid_settings)> settings_;
  std::unique_ptr<fluid_synth_t, decltype(&delete_fluid_synth)> synth_;
  std::vector<float> planar_;  // renderChannels' outputs, kept from call to call
};

}  // namespace rendlow::audio
