#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "audio/io/audio_buffer.h"
#include "audio/synth/rendering.h"
#include "base/result.h"

namespace rendlow::audio {

// One synthesizer with a SoundFont loaded, fresh for each track so that a track renders the same
// whatever was rendered before it: FluidSynth or the built-in one. It writes into a growing
// buffer; an event applied when the buffer ends on a block boundary sounds from that frame on.
class SynthSession {
public:
  virtual ~SynthSession() = default;

  // Renders until the buffer is `frame` frames long (nothing if it is already).
  virtual void renderTo(int64_t frame, AudioBuffer& out) = 0;
  // The next `frames` frames of each MIDI channel alone, stereo interleaved, into `channels`
  // (one buffer each, of a session opened for many tracks).
  virtual void renderChannels(int64_t frames, std::vector<AudioBuffer>& channels) = 0;
  virtual void apply(const ChannelMessage& message) = 0;
  // Before an event is applied to a synthesizer for many tracks: makes sure no voice is taken
  // from another track where the track alone would have had one free.
  virtual void keepVoicesFree() = 0;
  // All Sound Off and sustain released on each channel.
  virtual void silence(const std::set<int>& channels) = 0;
  virtual bool sounding() const = 0;
  // Whether a voice still sounds on one of `channels`.
  virtual bool soundingOn(const std::set<int>& channels) const = 0;
  virtual int32_t blockFrames() const = 0;
};

// The sessions of one synthesizer over one SoundFont, read once for all of them.
class SynthSessions {
public:
  virtual ~SynthSessions() = default;
  // A synthesizer for `tracks` tracks: one track alone when 1, else one with a stereo output for
  // each MIDI channel (see renderChannels) and as many voices as that many synthesizers have.
  // Safe to call from several threads at once.
  virtual Result<std::unique_ptr<SynthSession>> open(int tracks) const = 0;
};

// FluidSynth's sessions over the SoundFont at `soundFont`; in a build without FluidSynth, the
// problem says so.
Result<std::unique_ptr<SynthSessions>> fluidSynthSessions(const std::string& soundFont);
// The block size of FluidSynth as this program sets it up; 0 without FluidSynth.
int32_t fluidSynthBlockFrames();

// The built-in synthesizer's sessions over the SoundFont at `soundFont`, read here.
Result<std::unique_ptr<SynthSessions>> builtinSynthSessions(const std::string& soundFont);
// The built-in synthesizer's block size: FluidSynth's, so a chart's playback lines up alike.
int32_t builtinSynthBlockFrames();

// How often a ringing track is asked whether it still sounds: about 23 ms.
constexpr int64_t kRingOutStepFrames = 1024;

// The MIDI channels a synthesizer has, each with an output of its own in a session per channel.
constexpr int kMidiChannels = 16;

// The MIDI channels `events` play on.
std::set<int> channelsOf(const std::vector<ChannelMessage>& events);

// An empty buffer of the render's rate and channels.
AudioBuffer emptyRender();

}  // namespace rendlow::audio
