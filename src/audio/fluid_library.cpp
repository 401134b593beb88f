#include "audio/fluid_library.h"

#include <memory>

#include "audio/shared_library.h"

namespace rendlow::audio {

namespace {

template <class Function>
bool take(const SharedLibrary& library, const char* name, Function& into) {
  into = library.function<Function>(name);
  return into != nullptr;
}

std::unique_ptr<FluidLibrary> load() {
  static const std::unique_ptr<SharedLibrary> library = SharedLibrary::open({"libfluidsynth.so.3", "libfluidsynth.so"});
  if (!library) return nullptr;
  auto f = std::make_unique<FluidLibrary>();
  const SharedLibrary& l = *library;
  const bool complete =
      take(l, "new_fluid_settings", f->newSettings) && take(l, "delete_fluid_settings", f->deleteSettings) &&
      take(l, "fluid_settings_setnum", f->setNumber) && take(l, "fluid_settings_setint", f->setInteger) &&
      take(l, "new_fluid_synth", f->newSynth) && take(l, "delete_fluid_synth", f->deleteSynth) &&
      take(l, "fluid_synth_sfload", f->loadSoundFont) && take(l, "fluid_synth_write_float", f->writeFloat) &&
      take(l, "fluid_synth_get_internal_bufsize", f->blockFrames) &&
      take(l, "fluid_synth_get_active_voice_count", f->activeVoices) && take(l, "fluid_synth_noteon", f->noteOn) &&
      take(l, "fluid_synth_noteoff", f->noteOff) && take(l, "fluid_synth_key_pressure", f->keyPressure) &&
      take(l, "fluid_synth_cc", f->controlChange) && take(l, "fluid_synth_program_change", f->programChange) &&
      take(l, "fluid_synth_channel_pressure", f->channelPressure) && take(l, "fluid_synth_pitch_bend", f->pitchBend) &&
      take(l, "fluid_set_log_function", f->setLogFunction);
  return complete ? std::move(f) : nullptr;
}

}  // namespace

const FluidLibrary* fluidLibrary() {
  static const std::unique_ptr<FluidLibrary> library = load();
  return library.get();
}

}  // namespace rendlow::audio
