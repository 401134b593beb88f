#include "audio/synth/fluid_synth_session.h"

#include <algorithm>
#include <mutex>

#include "audio/synth/tempo_map.h"
#include "base/messages_audio.h"
#include "base/platform.h"

namespace rendlow::audio {

namespace {

constexpr int64_t kFramesPerWrite = 4096;
constexpr int kAllSoundOff = 120;
constexpr int kSustain = 64;
// FluidSynth's own default: what one track played alone has.
constexpr int kVoicesPerTrack = 256;

// FluidSynth prints to the console unless told otherwise; our messages say what matters.
void silenceLogging(const FluidLibrary& fluid) {
  static std::once_flag once;
  std::call_once(once, [&fluid] {
    for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
      fluid.setLogFunction(level, nullptr, nullptr);
  });
}

fluid_settings_t* renderSettings(const FluidLibrary& fluid, int channelOutputs = 1) {
  fluid_settings_t* settings = fluid.newSettings();
  if (!settings) return nullptr;
  fluid.setInteger(settings, "synth.audio-channels", channelOutputs);
  fluid.setInteger(settings, "synth.audio-groups", channelOutputs);
  fluid.setInteger(settings, "synth.polyphony", kVoicesPerTrack);
  fluid.setNumber(settings, "synth.sample-rate", kRenderSampleRate);
  fluid.setInteger(settings, "synth.reverb.active", 0);
  fluid.setInteger(settings, "synth.chorus.active", 0);
  fluid.setInteger(settings, "synth.cpu-cores", 1);
  fluid.setInteger(settings, "synth.threadsafe-api", 0);
  return settings;
}

}  // namespace

Result<std::unique_ptr<SynthSession>> FluidSynthSession::open(const std::string& soundFont, int tracks) {
  Result<std::unique_ptr<FluidSynthSession>> session = openWith(soundFont, tracks == 1 ? 1 : kMidiChannels, tracks);
  if (!session) return session.problem();
  return std::unique_ptr<SynthSession>(std::move(*session));
}

Result<std::unique_ptr<FluidSynthSession>> FluidSynthSession::openWith(const std::string& soundFont,
                                                                       int channelOutputs, int tracks) {
  const FluidLibrary* fluid = fluidLibrary();
  if (!fluid) return Problem{fluidSynthNotInstalledMessage()};
  silenceLogging(*fluid);
  std::unique_ptr<FluidSynthSession> session(new FluidSynthSession(*fluid));
  session->polyphony_ = kVoicesPerTrack;
  session->maxPolyphony_ = kVoicesPerTrack * tracks;
  session->settings_.reset(renderSettings(*fluid, channelOutputs));
  if (session->settings_) session->synth_.reset(fluid->newSynth(session->settings_.get()));
  if (!session->synth_) return Problem{synthesizerNotStartedMessage()};
  if (fluid->loadSoundFont(session->synth_.get(), systemPath(soundFont).c_str(), 1) == FLUID_FAILED) {
    return Problem{soundFontUnreadableMessage(soundFont)};
  }
  return session;
}

void FluidSynthSession::renderTo(int64_t frame, AudioBuffer& out) {
  while (out.frames() < frame) {
    const int64_t count = std::min(kFramesPerWrite, frame - out.frames());
    const std::size_t first = out.samples.size();
    out.samples.resize(first + static_cast<std::size_t>(count) * 2);
    float* interleaved = out.samples.data() + first;
    fluid_->writeFloat(synth_.get(), static_cast<int>(count), interleaved, 0, 2, interleaved, 1, 2);
  }
}

// FluidSynth adds into the buffers it is given, each channel's left and right in two of them.
// The buffers are used again from call to call: a song's render comes in many short stretches.
void FluidSynthSession::renderChannels(int64_t frames, std::vector<AudioBuffer>& channels) {
  channels.resize(kMidiChannels, emptyRender());
  for (AudioBuffer& channel : channels) channel.samples.resize(static_cast<std::size_t>(2 * frames));
  planar_.resize(static_cast<std::size_t>(2 * kMidiChannels * kFramesPerWrite));
  std::vector<float*> outputs(2 * kMidiChannels);
  for (int64_t done = 0; done < frames;) {
    const int64_t count = std::min(kFramesPerWrite, frames - done);
    std::fill(planar_.begin(), planar_.end(), 0.0f);
    for (std::size_t i = 0; i < outputs.size(); ++i) outputs[i] = planar_.data() + i * kFramesPerWrite;
    fluid_->process(synth_.get(), static_cast<int>(count), 0, nullptr, static_cast<int>(outputs.size()), outputs.data());
    for (std::size_t channel = 0; channel < channels.size(); ++channel) {
      float* out = channels[channel].samples.data() + 2 * done;
      for (int64_t frame = 0; frame < count; ++frame) {
        out[2 * frame] = outputs[2 * channel][frame];
        out[2 * frame + 1] = outputs[2 * channel + 1][frame];
      }
    }
    done += count;
  }
}

void FluidSynthSession::apply(const ChannelMessage& message) {
  const FluidLibrary& fluid = *fluid_;
  fluid_synth_t* synth = synth_.get();
  const int channel = message.status & 0x0F;
  const int data1 = message.data1 & 0x7F;
  const int data2 = message.data2 & 0x7F;
  switch (message.status & 0xF0) {
    case 0x80:
      fluid.noteOff(synth, channel, data1);
      break;
    case 0x90:
      // Velocity 0 is a note-off, which FluidSynth's note-on takes care of.
      fluid.noteOn(synth, channel, data1, data2);
      break;
    case 0xA0:
      fluid.keyPressure(synth, channel, data1, data2);
      break;
    case 0xB0:
      fluid.controlChange(synth, channel, data1, data2);
      break;
    case 0xC0:
      fluid.programChange(synth, channel, data1);
      break;
    case 0xD0:
      fluid.channelPressure(synth, channel, data1);
      break;
    case 0xE0:
      fluid.pitchBend(synth, channel, data1 | (data2 << 7));
      break;
    default:
      break;
  }
}

// The pedal first: FluidSynth ends a voice only when it renders the next block, and a pedal
// released after All Sound Off would bring a held voice back into its release instead.
void FluidSynthSession::silence(const std::set<int>& channels) {
  for (int channel : channels) {
    fluid_->controlChange(synth_.get(), channel, kSustain, 0);
    fluid_->controlChange(synth_.get(), channel, kAllSoundOff, 0);
  }
}

// A voice takes some ten kilobytes, allocated when the polyphony is set: the voices of a
// synthesizer playing many tracks are added as they are needed, a track's worth at a time.
void FluidSynthSession::keepVoicesFree() {
  if (polyphony_ >= maxPolyphony_ || polyphony_ - fluid_->activeVoices(synth_.get()) >= kVoicesPerTrack) return;
  polyphony_ = std::min(maxPolyphony_, polyphony_ + kVoicesPerTrack);
  fluid_->setPolyphony(synth_.get(), polyphony_);
}

bool FluidSynthSession::sounding() const { return fluid_->activeVoices(synth_.get()) > 0; }

bool FluidSynthSession::soundingOn(const std::set<int>& channels) const {
  std::vector<fluid_voice_t*> voices(static_cast<std::size_t>(polyphony_) + 1, nullptr);
  fluid_->voiceList(synth_.get(), voices.data(), static_cast<int>(voices.size()), -1);
  return std::any_of(voices.begin(), voices.end(),
                     [&](fluid_voice_t* voice) { return voice && channels.count(fluid_->voiceChannel(voice)); });
}

int32_t FluidSynthSession::blockFrames() const { return fluid_->blockFrames(synth_.get()); }

int32_t FluidSynthSession::blockFramesOfSetup() {
  const FluidLibrary* fluid = fluidLibrary();
  if (!fluid) return 0;
  silenceLogging(*fluid);
  fluid_settings_t* settings = renderSettings(*fluid);
  fluid_synth_t* synth = settings ? fluid->newSynth(settings) : nullptr;
  const int32_t frames = synth ? fluid->blockFrames(synth) : 0;
  if (synth) fluid->deleteSynth(synth);
  if (settings) fluid->deleteSettings(settings);
  return frames;
}

namespace {

// Sessions opened by path while one of them holds the SoundFont: FluidSynth then shares its
// samples instead of reading the file again for each.
class FluidSynthSessions final : public SynthSessions {
public:
  FluidSynthSessions(std::string soundFont, std::unique_ptr<SynthSession> holder)
      : soundFont_(std::move(soundFont)), holder_(std::move(holder)) {}
  Result<std::unique_ptr<SynthSession>> open(int tracks) const override {
    return FluidSynthSession::open(soundFont_, tracks);
  }

private:
  std::string soundFont_;
  std::unique_ptr<SynthSession> holder_;
};

}  // namespace

Result<std::unique_ptr<SynthSessions>> fluidSynthSessions(const std::string& soundFont) {
  Result<std::unique_ptr<SynthSession>> holder = FluidSynthSession::open(soundFont, 1);
  if (!holder) return holder.problem();
  return std::unique_ptr<SynthSessions>(std::make_unique<FluidSynthSessions>(soundFont, std::move(*holder)));
}

int32_t fluidSynthBlockFrames() { return FluidSynthSession::blockFramesOfSetup(); }

bool fluidSynthInBuild() { return true; }

}  // namespace rendlow::audio
