#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "base/interruption.h"
#include "base/messages_cli.h"
#include "base/messages_run.h"
#include "cli/cli.h"
#include "cli/error_output.h"
#include "cli/exit_status.h"
#include "cli/locale_text.h"

int main(int argc, char** argv) {
  // The terminal's and the file names' encoding, which the command line converts to and from.
  // Only the character type: numbers keep their dot and the C library's messages stay as they are.
  std::setlocale(LC_CTYPE, "");
  // An interrupt is heeded where the run stands, so it leaves no temporary file and tells what
  // it wrote before it stops.
  rendlow::noteInterrupts();
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  const int status = rendlow::cli::runCli(args, std::cout, std::cerr);
  rendlow::cli::PrintedStream err(std::cerr);
  if (!std::cout.flush()) {
    rendlow::cli::printMessage(err, rendlow::standardOutputFailedMessage());
    return rendlow::cli::kExitFailed;
  }
  if (const int signal = rendlow::interruptSignal()) {
    rendlow::cli::printMessage(err, rendlow::runInterruptedMessage(rendlow::interruptName(signal)));
    return rendlow::cli::interruptedStatus(signal);
  }
  return status;
}
