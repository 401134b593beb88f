#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "base/message.h"

namespace rendlow::cli {

// Japanese when the first of LC_ALL, LC_MESSAGES and LANG that is set starts with "ja"; English
// otherwise, and when none is set.
Audience consoleAudience();

// A message of the engine as the command line prints it on standard error, in the console's
// language: the program's name before its first line, each further line indented beneath, and a
// line end.
std::string asStandardError(std::string_view message);

inline void printMessage(std::ostream& err, const Message& message) {
  err << asStandardError(message.in(consoleAudience()));
}

}  // namespace rendlow::cli
