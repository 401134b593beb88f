#pragma once

#include <fluidsynth.h>

namespace rendlow::audio {

// The FluidSynth functions the renderer calls, from the library opened on first use (see
// SharedLibrary).
struct FluidLibrary {
  decltype(&new_fluid_settings) newSettings;
  decltype(&delete_fluid_settings) deleteSettings;
  decltype(&fluid_settings_setnum) setNumber;
  decltype(&fluid_settings_setint) setInteger;
  decltype(&new_fluid_synth) newSynth;
  decltype(&delete_fluid_synth) deleteSynth;
  decltype(&fluid_synth_sfload) loadSoundFont;
  decltype(&fluid_synth_write_float) writeFloat;
  decltype(&fluid_synth_get_internal_bufsize) blockFrames;
  decltype(&fluid_synth_get_active_voice_count) activeVoices;
  decltype(&fluid_synth_noteon) noteOn;
  decltype(&fluid_synth_noteoff) noteOff;
  decltype(&fluid_synth_key_pressure) keyPressure;
  decltype(&fluid_synth_cc) controlChange;
  decltype(&fluid_synth_program_change) programChange;
  decltype(&fluid_synth_channel_pressure) channelPressure;
  decltype(&fluid_synth_pitch_bend) pitchBend;
  decltype(&fluid_set_log_function) setLogFunction;
  decltype(&fluid_synth_process) process;
  decltype(&fluid_synth_get_voicelist) voiceList;
  decltype(&fluid_voice_get_channel) voiceChannel;
  decltype(&fluid_synth_set_polyphony) setPolyphony;
};

// The library, opened once; null when it is not installed or lacks a function.
const FluidLibrary* fluidLibrary();

}  // namespace rendlow::audio
