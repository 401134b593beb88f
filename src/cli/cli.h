#pragma once

#include <ostream>
#include <span>
#include <string>

namespace rendlow::cli {

// The whole command line: parses the arguments after the program name, runs the command, writes
// its output and errors to the given streams and returns the exit status (see exit_status.h).
// The arguments and what is written are in the locale's encoding (see locale_text.h).
int runCli(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace rendlow::cli
