#pragma once

#include <string>
#include <vector>

#include "base/result.h"

namespace rendlow::audio {

// The General MIDI SoundFonts looked for, best first, when none is named.
const std::vector<std::string>& defaultSoundFonts();

// `explicitPath` when it is given and exists; else the first default that exists. The problem
// says which paths were tried.
Result<std::string> chooseSoundFont(const std::string& explicitPath);

}  // namespace rendlow::audio
