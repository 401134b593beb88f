#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "base/messages_cli.h"
#include "cli/cli.h"
#include "cli/error_output.h"
#include "cli/exit_status.h"
#include "cli/locale_text.h"

int main(int argc, char** argv) {
  // The terminal's and the file names' encoding, which the command line converts to and from.
  // Only the character type: numbers keep their dot and the C library's messages stay as they are.
  std::setlocale(LC_CTYPE, "");
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  const int status = rendlow::cli::runCli(args, std::cout, std::cerr);
  if (!std::cout.flush()) {
    rendlow::cli::PrintedStream err(std::cerr);
    rendlow::cli::printMessage(err, rendlow::standardOutputFailedMessage());
    return rendlow::cli::kExitFailed;
  }
  return status;
}
