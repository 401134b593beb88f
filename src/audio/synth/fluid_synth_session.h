#pragma once

#include <memory>
#include <set>
#include <string>

#include "audio/io/audio_buffer.h"
#include "audio/synth/fluid_library.h"
#include "audio/synth/rendering.h"
#include "base/result.h"

namespace rendlow::audio {

// One FluidSynth synthesizer with a SoundFont loaded, fresh for each track so that a track
// renders the same whatever was rendered before it. It writes into a growing buffer; an event
// applied when the buffer ends on a block boundary sounds from that frame on.
class SynthSession {
public:
  static Result<SynthSession> open(const std::string& soundFont);

  // Renders until the buffer is `frame` frames long (nothing if it is already).
  void renderTo(int64_t frame, AudioBuffer& out);
  void apply(const ChannelMessage& message);
  // All Sound Off and sustain released on each channel.
  void silence(const std::set<int>& channels);
  bool sounding() const;
  int32_t blockFrames() const;
  // The block size of a synthesizer as this program sets one up, without a SoundFont to load.
  static int32_t blockFramesOfSetup();

private:
  explicit SynthSession(const FluidLibrary& fluid)
      : fluid_(&fluid), settings_(nullptr, fluid.deleteSettings), synth_(nullptr, fluid.deleteSynth) {}

  const FluidLibrary* fluid_;
  // Declared first, destroyed last: the synthesizer keeps a pointer to its settings.
  std::unique_ptr<fluid_settings_t, decltype(&delete_fluid_settings)> settings_;
  std::unique_ptr<fluid_synth_t, decltype(&delete_fluid_synth)> synth_;
};

// An empty buffer of the render's rate and channels.
AudioBuffer emptyRender();

}  // namespace rendlow::audio
