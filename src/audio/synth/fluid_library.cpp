#include "audio/synth/fluid_library.h"

#include <memory>

#include "base/shared_library.h"

namespace rendlow::audio {

namespace {

// GLib's log handler and the call that sets the default one, as GLib declares them (the level
// is an enumeration of flags).
using GlibLogHandler = void (*)(const char* domain, int level, const char* message, void* data);
using GlibSetDefaultLogHandler = GlibLogHandler (*)(GlibLogHandler handler, void* data);

// A file FluidSynth cannot read as a SoundFont 2 is handed to libinstpatch, which tells what it
// found wrong on stderr through GLib's log ("** CRITICAL **"), in the middle of our own output.
// The failure reaches us as FluidSynth's and is told in our words, so GLib's default log
// handler, which in this process only FluidSynth's libraries use, says nothing. A build whose
// FluidSynth runs without GLib has nothing to silence.
void silenceGlibLog() {
  static const Result<SharedLibrary> glib = SharedLibrary::open({"libglib-2.0.so.0", "libglib-2.0-0.dll"});
  GlibSetDefaultLogHandler setDefaultHandler = nullptr;
  if (glib && glib->bind("g_log_set_default_handler", setDefaultHandler))
    setDefaultHandler([](const char*, int, const char*, void*) {}, nullptr);
}

std::unique_ptr<FluidLibrary> load() {
  static const Result<SharedLibrary> library =
      SharedLibrary::open({"libfluidsynth.so.3", "libfluidsynth.so"});
  if (!library) return nullptr;
  auto f = std::make_unique<FluidLibrary>();
  const SharedLibrary& l = *library;
  const bool complete =
      l.bind("new_fluid_settings", f->newSettings) && l.bind("delete_fluid_settings", f->deleteSettings) &&
      l.bind("fluid_settings_setnum", f->setNumber) && l.bind("fluid_settings_setint", f->setInteger) &&
      l.bind("new_fluid_synth", f->newSynth) && l.bind("delete_fluid_synth", f->deleteSynth) &&
      l.bind("fluid_synth_sfload", f->loadSoundFont) && l.bind("fluid_synth_write_float", f->writeFloat) &&
      l.bind("fluid_synth_get_internal_bufsize", f->blockFrames) &&
      l.bind("fluid_synth_get_active_voice_count", f->activeVoices) &&
      l.bind("fluid_synth_noteon", f->noteOn) && l.bind("fluid_synth_noteoff", f->noteOff) &&
      l.bind("fluid_synth_key_pressure", f->keyPressure) && l.bind("fluid_synth_cc", f->controlChange) &&
      l.bind("fluid_synth_program_change", f->programChange) &&
      l.bind("fluid_synth_channel_pressure", f->channelPressure) &&
      l.bind("fluid_synth_pitch_bend", f->pitchBend) && l.bind("fluid_set_log_function", f->setLogFunction) &&
      l.bind("fluid_synth_process", f->process) && l.bind("fluid_synth_get_voicelist", f->voiceList) &&
      l.bind("fluid_voice_get_channel", f->voiceChannel) && l.bind("fluid_synth_set_polyphony", f->setPolyphony);
  if (!complete) return nullptr;
  silenceGlibLog();
  return f;
}

}  // namespace

const FluidLibrary* fluidLibrary() {
  static const std::unique_ptr<FluidLibrary> library = load();
  return library.get();
}

}  // namespace rendlow::audio
