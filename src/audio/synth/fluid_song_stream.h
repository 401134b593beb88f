#pragma once

#include <memory>
#include <vector>

#include "audio/synth/fluid_synth_session.h"
#include "audio/synth/rendering.h"

namespace rendlow::audio {

// The song of `tracks`, each played by its session of `sessions` (one each, in order).
std::unique_ptr<SongStream> songStreamOf(std::vector<SynthSession> sessions,
                                         const std::vector<std::vector<ChannelMessage>>& tracks,
                                         const TempoMap& tempoMap, unsigned threads);

}  // namespace rendlow::audio
