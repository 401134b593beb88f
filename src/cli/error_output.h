#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace rendlow::cli {

// A message of the engine (base/messages.h) as the command line prints it on standard error: the
// program's name before its first line, each further line indented beneath, and a line end.
std::string asStandardError(std::string_view message);

inline void printMessage(std::ostream& err, std::string_view message) { err << asStandardError(message); }

}  // namespace rendlow::cli
