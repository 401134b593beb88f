#pragma once

#include <optional>
#include <string>

namespace rendlow {

// The MIDI reader says only whether it read a file. When it could not, this says why, in words
// for the user (see messages.h): the file cannot be opened (or is a folder), does not start with
// "MThd", has a header cut short, or has a division the reader refuses. Nothing when the file
// looks usable.
std::optional<std::string> midiFileProblem(const std::string& path);

}  // namespace rendlow
