#include "cli/name_checks.h"

#include "app/paths.h"
#include "base/file_input.h"
#include "base/messages.h"
#include "base/messages_cli.h"
#include "base/messages_usage.h"
#include "base/platform.h"
#include "cli/error_output.h"
#include "cli/exit_status.h"

namespace rendlow::cli {

namespace {

// A folder can be listed; a file cannot.
bool isFolder(const std::string& path) { return fileNamesIn(path, readReason).ok(); }

bool isRegularFile(const std::string& path) {
  const OutputSpot spot = outputSpot(path);
  return spot == OutputSpot::WritableFile || spot == OutputSpot::ReadOnlyFile;
}

}  // namespace

std::optional<int> refuseNames(const Options& options, std::ostream& err) {
  if (options.stemsFolder && isRegularFile(*options.stemsFolder)) {
    printMessage(err, stemsNotAFolderReason(*options.stemsFolder) + seeHelpLine());
    return kExitUsage;
  }
  const std::optional<std::string>& output = options.outputPath;
  if (output && !fileNameOf(*output).empty() && isFolder(*output)) {
    printMessage(err, outputIsFolderMessage(*output));
    return kExitFailed;
  }
  for (const std::string& input : options.inputs) {
    if (looksLikeRenderingFile(input)) printMessage(err, renderingFileAsInputHint(input));
  }
  return std::nullopt;
}

}  // namespace rendlow::cli
