#pragma once

#include <cstdint>

#include "audio/io/audio_buffer.h"

namespace rendlow::audio {

// Below this level (−60 dBFS) a sound's tail is taken for silence and dropped.
constexpr float kSilentLevel = 0.001f;
// The fade-out at the end of every cut, against the click of a sound stopped mid-wave.
constexpr double kFadeOutSeconds = 0.005;

// One sound out of a recording of many: frames [startFrame, endFrame) of `source` (clamped to
// it), starting exactly at startFrame with nothing removed before it and no fade-in; then the
// trailing frames below kSilentLevel on every channel are dropped, and the last kFadeOutSeconds
// (fewer frames if the sound is shorter) fade out linearly, down to a last frame of zero.
AudioBuffer cutSound(const AudioBuffer& source, int64_t startFrame, int64_t endFrame);

}  // namespace rendlow::audio
