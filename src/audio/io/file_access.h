#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace rendlow::audio {

// The whole file in memory. Its problem carries only the reason (not found, access denied, a
// folder), for the caller to put under the headline that says what it was reading.
Result<std::string> readWholeFile(const std::string& path);

// True when the file can be opened for reading.
bool fileExists(const std::string& path);

// Writes a sound file's bytes atomically; the problem is the whole message naming the file.
Result<void> writeSoundFile(const std::string& path, std::string_view bytes);

// `name` inside `folder`, with the platform's separator unless the folder ends in one.
std::string pathIn(const std::string& folder, const std::string& name);
// `fileName` without its extension: up to its last dot, or whole when it has none.
std::string withoutExtension(const std::string& fileName);

// The names of the plain files in a folder, sorted. Its problem carries only the reason.
Result<std::vector<std::string>> fileNamesIn(const std::string& folder);

// `name` in lower case, for comparing file names the way Windows does.
std::string lowerCase(std::string name);

}  // namespace rendlow::audio
