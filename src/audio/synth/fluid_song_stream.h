#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "audio/synth/fluid_synth_session.h"
#include "audio/synth/rendering.h"

namespace rendlow::audio {

// A synthesizer for `tracks` tracks: one track alone when 1, else one with an output per
// MIDI channel.
using SessionOpener = std::function<Result<SynthSession>(int tracks)>;

// The song of `tracks`. The tracks that share a channel with no other are played together by
// one synthesizer, each heard on its own channels; each of the others by a synthesizer of its
// own, since two tracks on one channel would take each other's programs and controllers.
Result<std::unique_ptr<SongStream>> songStreamOf(const SessionOpener& open,
                                                 const std::vector<std::vector<ChannelMessage>>& tracks,
                                                 const TempoMap& tempoMap, unsigned threads);

}  // namespace rendlow::audio
