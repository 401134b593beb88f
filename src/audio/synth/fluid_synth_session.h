#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

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
  // A synthesizer for `tracks` tracks at once, each on channels of its own: a stereo output for
  // each MIDI channel (see renderChannels), and as many voices as that many synthesizers have
  // (see keepVoicesFree).
  static Result<SynthSession> openPerChannel(const std::string& soundFont, int tracks);

  // Renders until the buffer is `frame` frames long (nothing if it is already).
  void renderTo(int64_t frame, AudioBuffer& out);
  // The next `frames` frames of each MIDI channel alone, stereo interleaved, into `channels`
  // (one buffer each, of a session opened per channel).
  void renderChannels(int64_t frames, std::vector<AudioBuffer>& channels);
  void apply(const ChannelMessage& message);
  // Before an event is applied to a synthesizer for many tracks: adds voices, up to its tracks'
  // worth, while fewer than a track's worth are free, so that no voice is taken from another
  // track where the track alone would have had one free.
  void keepVoicesFree();
  // All Sound Off and sustain released on each channel.
  void silence(const std::set<int>& channels);
  bool sounding() const;
  // Whether a voice still sounds on one of `channels`.
  bool soundingOn(const std::set<int>& channels) const;
  int32_t blockFrames() const;
  // The block size of a synthesizer as this program sets one up, without a SoundFont to load.
  static int32_t blockFramesOfSetup();

private:
  explicit SynthSession(const FluidLibrary& fluid)
      : fluid_(&fluid), settings_(nullptr, fluid.deleteSettings), synth_(nullptr, fluid.deleteSynth) {}

  static Result<SynthSession> openWith(const std::string& soundFont, int channelOutputs, int tracks);

  const FluidLibrary* fluid_;
  int polyphony_ = 0;
  int maxPolyphony_ = 0;
  // Declared first, destroyed last: the synthesizer keeps a pointer to its settings.
  std::unique_ptr<fluid_settings_t, decltype(&delete_fluid_settings)> settings_;
  std::unique_ptr<fluid_synth_t, decltype(&delete_fluid_synth)> synth_;
  std::vector<float> planar_;  // renderChannels' outputs, kept from call to call
};

// How often a ringing track is asked whether it still sounds: about 23 ms.
constexpr int64_t kRingOutStepFrames = 1024;

// The MIDI channels a synthesizer has, each with an output of its own in a session per channel.
constexpr int kMidiChannels = 16;

// The MIDI channels `events` play on.
std::set<int> channelsOf(const std::vector<ChannelMessage>& events);

// An empty buffer of the render's rate and channels.
AudioBuffer emptyRender();

}  // namespace rendlow::audio
