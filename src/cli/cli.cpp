#include "cli/cli.h"

#include "base/messages_cli.h"
#include "cli/convert_command.h"
#include "cli/error_output.h"
#include "cli/exit_status.h"
#include "cli/list_command.h"
#include "cli/locale_text.h"
#include "cli/options.h"

namespace rendlow::cli {

namespace {

int runCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  Result<Options> parsed = parseOptions(args);
  if (parsed) parsed = inProgramText(*parsed);
  if (!parsed) {
    printMessage(err, parsed.problem().message + seeHelpLine());
    return kExitUsage;
  }
  const Options& options = *parsed;
  switch (*options.command) {
    case Command::Help:
      out << usageText().in(consoleAudience());
      return kExitOk;
    case Command::Version:
      out << versionText();
      return kExitOk;
    case Command::List:
      return runList(options, out, err);
    case Command::Convert:
      return runConvert(options, out, err);
  }
  return kExitUsage;
}

}  // namespace

int runCli(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  PrintedStream printedOut(out);
  PrintedStream printedErr(err);
  return runCommand(args, printedOut, printedErr);
}

}  // namespace rendlow::cli
