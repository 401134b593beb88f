#pragma once

#include <memory>
#include <vector>

#include "audio/synth/synth_session.h"
#include "audio/synth/rendering.h"

namespace rendlow::audio {

// The song of `tracks`. The tracks that share a channel with no other are played together by
// one synthesizer, each heard on its own channels; each of the others by a synthesizer of its
// own, since two tracks on one channel would take each other's programs and controllers.
Result<std::unique_ptr<SongStream>> songStreamOf(const SynthSessions& sessions,
                                                 const std::vector<std::vector<ChannelMessage>>& tracks,
                                                 const TempoMap& tempoMap, unsigned threads);

}  // namespace rendlow::audio
