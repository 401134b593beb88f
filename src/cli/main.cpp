#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/exit_status.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  const int status = rendlow::cli::runCli(args, std::cout, std::cerr);
  if (!std::cout.flush()) {
    std::cerr << "rendlow-cli: cannot write to standard output\n";
    return rendlow::cli::kExitFailed;
  }
  return status;
}
