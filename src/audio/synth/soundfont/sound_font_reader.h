#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "audio/synth/soundfont/sound_font.h"
#include "base/result.h"

namespace rendlow::audio::soundfont {

// A SoundFont 2 from the bytes of its file: every chunk size checked against what holds it, every
// index against its table, each sample header against the sample data. A file that fails is
// refused with the reason, `path` naming it in the problem.
Result<SoundFont> readSoundFont(std::span<const uint8_t> bytes, const std::string& path);

// The SoundFont file at `path`, read whole and then as readSoundFont does.
Result<SoundFont> loadSoundFont(const std::string& path);

}  // namespace rendlow::audio::soundfont
