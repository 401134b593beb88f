#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace rendlow::fuzz {

// A private folder for one fuzzing process (in memory where the system offers it), so the
// targets can hand the program real files, as authors do.
const std::string& scratchFolder();

// Writes the bytes to a file of that folder and returns its path.
std::string writeScratchFile(const std::string& name, const uint8_t* data, std::size_t size);

}  // namespace rendlow::fuzz
