#pragma once

#include <memory>
#include <string>
#include <vector>

#include "audio/io/audio_buffer.h"
#include "audio/synth/rendering.h"
#include "audio/synth/soundfont/sound_font.h"
#include "audio/synth/tempo_map.h"
#include "base/result.h"

namespace rendlow::audio::soundfont {

// A whole song with the built-in synthesizer, as renderSong has it with FluidSynth: each track
// by a synthesizer of its own, its events where the block at or after their time begins, the
// tracks summed in their order, each ringing out after its last event (ten seconds at most).
AudioBuffer renderSongWith(std::shared_ptr<const SoundFont> font,
                           const std::vector<std::vector<ChannelMessage>>& tracks, const TempoMap& tempoMap);

// The same with the SoundFont at `path`, read first.
Result<AudioBuffer> renderSongWith(const std::string& path,
                                   const std::vector<std::vector<ChannelMessage>>& tracks,
                                   const TempoMap& tempoMap);

}  // namespace rendlow::audio::soundfont
