#include "audio/fluid_synth_session.h"

#include <algorithm>
#include <mutex>

#include "audio/audio_messages.h"
#include "audio/render_timing.h"

namespace rendlow::audio {

namespace {

constexpr int64_t kFramesPerWrite = 4096;
constexpr int kAllSoundOff = 120;
constexpr int kSustain = 64;

// FluidSynth prints to the console unless told otherwise; our messages say what matters.
void silenceLogging() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
      fluid_set_log_function(level, nullptr, nullptr);
  });
}

fluid_settings_t* renderSettings() {
  fluid_settings_t* settings = new_fluid_settings();
  if (!settings) return nullptr;
  fluid_settings_setnum(settings, "synth.sample-rate", kRenderSampleRate);
  fluid_settings_setint(settings, "synth.reverb.active", 0);
  fluid_settings_setint(settings, "synth.chorus.active", 0);
  fluid_settings_setint(settings, "synth.cpu-cores", 1);
  fluid_settings_setint(settings, "synth.threadsafe-api", 0);
  return settings;
}

}  // namespace

Result<SynthSession> SynthSession::open(const std::string& soundFont) {
  silenceLogging();
  SynthSession session;
  session.settings_.reset(renderSettings());
  if (session.settings_) session.synth_.reset(new_fluid_synth(session.settings_.get()));
  if (!session.synth_) return Problem{synthesizerNotStartedMessage()};
  if (fluid_synth_sfload(session.synth_.get(), soundFont.c_str(), 1) == FLUID_FAILED) {
    return Problem{soundFontUnreadableMessage(soundFont)};
  }
  return session;
}

void SynthSession::renderTo(int64_t frame, AudioBuffer& out) {
  while (out.frames() < frame) {
    const int64_t count = std::min(kFramesPerWrite, frame - out.frames());
    const std::size_t first = out.samples.size();
    out.samples.resize(first + static_cast<std::size_t>(count) * 2);
    float* interleaved = out.samples.data() + first;
    fluid_synth_write_float(synth_.get(), static_cast<int>(count), interleaved, 0, 2, interleaved, 1, 2);
  }
}

void SynthSession::apply(const ChannelMessage& message) {
  fluid_synth_t* synth = synth_.get();
  const int channel = message.status & 0x0F;
  const int data1 = message.data1 & 0x7F;
  const int data2 = message.data2 & 0x7F;
  switch (message.status & 0xF0) {
    case 0x80:
      fluid_synth_noteoff(synth, channel, data1);
      break;
    case 0x90:
      // Velocity 0 is a note-off, which FluidSynth's note-on takes care of.
      fluid_synth_noteon(synth, channel, data1, data2);
      break;
    case 0xA0:
      fluid_synth_key_pressure(synth, channel, data1, data2);
      break;
    case 0xB0:
      fluid_synth_cc(synth, channel, data1, data2);
      break;
    case 0xC0:
      fluid_synth_program_change(synth, channel, data1);
      break;
    case 0xD0:
      fluid_synth_channel_pressure(synth, channel, data1);
      break;
    case 0xE0:
      fluid_synth_pitch_bend(synth, channel, data1 | (data2 << 7));
      break;
    default:
      break;
  }
}

// The pedal first: FluidSynth ends a voice only when it renders the next block, and a pedal
// released after All Sound Off would bring a held voice back into its release instead.
void SynthSession::silence(const std::set<int>& channels) {
  for (int channel : channels) {
    fluid_synth_cc(synth_.get(), channel, kSustain, 0);
    fluid_synth_cc(synth_.get(), channel, kAllSoundOff, 0);
  }
}

bool SynthSession::sounding() const { return fluid_synth_get_active_voice_count(synth_.get()) > 0; }

int32_t SynthSession::blockFrames() const { return fluid_synth_get_internal_bufsize(synth_.get()); }

int32_t SynthSession::blockFramesOfSetup() {
  silenceLogging();
  fluid_settings_t* settings = renderSettings();
  fluid_synth_t* synth = settings ? new_fluid_synth(settings) : nullptr;
  const int32_t frames = synth ? fluid_synth_get_internal_bufsize(synth) : 0;
  if (synth) delete_fluid_synth(synth);
  if (settings) delete_fluid_settings(settings);
  return frames;
}

AudioBuffer emptyRender() { return AudioBuffer{kRenderSampleRate, 2, {}}; }

}  // namespace rendlow::audio
