#include "cli/cli.h"

#include "cli/convert_command.h"
#include "cli/exit_status.h"
#include "cli/list_command.h"
#include "cli/options.h"

namespace rendlow::cli {

int runCli(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  const ParseResult parsed = parseOptions(args);
  if (!parsed.options) {
    err << "rendlow-cli: " << parsed.error << "\n"
        << "Try 'rendlow-cli --help' for more information.\n";
    return kExitUsage;
  }
  const Options& options = *parsed.options;
  switch (options.command) {
    case Command::Help:
      out << usageText();
      return kExitOk;
    case Command::List:
      return runList(options, out, err);
    case Command::Convert:
      return runConvert(options, out, err);
  }
  return kExitUsage;
}

}  // namespace rendlow::cli
