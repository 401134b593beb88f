#include "audio/synth/rendering.h"
#include "audio/synth/synth_session.h"
#include "base/messages_audio.h"

namespace rendlow::audio {

// This build has no FluidSynth: the built-in synthesizer renders, and asking for FluidSynth is
// refused.
bool fluidSynthInBuild() { return false; }

int32_t fluidSynthBlockFrames() { return 0; }

Result<std::unique_ptr<SynthSessions>> fluidSynthSessions(const std::string&) {
  return Problem{fluidSynthAbsentMessage()};
}

}  // namespace rendlow::audio
