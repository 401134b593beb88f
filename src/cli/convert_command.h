#pragma once

#include <ostream>

#include "cli/options.h"

namespace rendlow::cli {

// The conversion: for each input in turn, loads it as the desktop program's load flow does,
// applies the --set edits to its rows as the update button does, fills the output-file box (-o)
// and the chart header boxes, and presses the output button the options name. Then, unless
// quiet, reports the converted tracks and the files written. A file that cannot be read or
// written is told on standard error and gives status 1; the other inputs are still converted. A
// chart refused for a limit of the format is told on standard error without changing the status.
int runConvert(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace rendlow::cli
