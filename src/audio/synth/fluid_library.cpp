#include "audio/synth/fluid_library.h"

#include <memory>

#include "base/shared_library.h"

namespace rendlow::audio {

namespace {

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
  return complete ? std::move(f) : nullptr;
}

}  // namespace

const FluidLibrary* fluidLibrary() {
  static const std::unique_ptr<FluidLibrary> library = load();
  return library.get();
}

}  // namespace rendlow::audio
