#pragma once

// Runs the command line in-process, as a user would from a shell, and keeps what it printed.

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace rendlow::test {

struct CliOutcome {
  int status = -1;
  std::string out;
  std::string err;
};

inline CliOutcome runCommandLine(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  CliOutcome result;
  result.status = cli::runCli(args, out, err);
  result.out = out.str();
  result.err = err.str();
  return result;
}

}  // namespace rendlow::test
