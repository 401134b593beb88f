#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace rendlow {
class Application;
}

namespace rendlow::cli {

// The load flow reads whatever it is given and says nothing when that fails (an empty table is
// its only sign). The command line must tell the user why, so after a load it looks at the files
// itself: the settings file when the input is one, then the MIDI file the flow tried to read.
// Returns the message for the user (see base/messages.h), or nothing when the song was read.
std::optional<std::string> loadProblem(std::string_view input, const Application& app);

}  // namespace rendlow::cli
