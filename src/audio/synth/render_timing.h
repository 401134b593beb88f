#pragma once

#include <cstdint>

#include "audio/synth/tempo_map.h"

namespace rendlow::audio {

constexpr int32_t kRenderSampleRate = 44100;

// The frame at which the synthesizer hears an event of `tick`. FluidSynth renders in blocks of
// `blockFrames` (fluid_synth_get_internal_bufsize(), 64) and applies an event only where a block
// begins: the first boundary at or after the tick's exact position at the render rate. A sound
// starting there has its first sample there, so its cut starts there too.
int64_t renderFrameOf(const TempoMap& tempoMap, int64_t tick, int32_t blockFrames);

// The first boundary of `blockFrames`-frame blocks at or after an exact position in frames.
int64_t blockBoundaryAtOrAfter(double exactFrame, int32_t blockFrames);

}  // namespace rendlow::audio
