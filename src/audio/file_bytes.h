#pragma once

#include <string>
#include <string_view>

#include "base/result.h"

namespace rendlow::audio {

// The whole file in memory. Its problem carries only the reason (not found, access denied, a
// folder), for the caller to put under the headline that says what it was reading.
Result<std::string> readWholeFile(const std::string& path);

// Writes a sound file's bytes atomically; the problem is the whole message naming the file.
Result<void> writeSoundFile(const std::string& path, std::string_view bytes);

}  // namespace rendlow::audio
