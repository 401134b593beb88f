#pragma once

#include <ostream>

#include "cli/options.h"

namespace rendlow::cli {

// A conversion of each input in turn: loads it as the load flow does, applies each --set to its
// row through applyRowSettings (as the form's update button does, every field it does not name
// kept), puts -o and the chart header texts into their boxes, runs the output flow, then shows
// the table of the converted tracks and says on `out` which files it wrote. A --set for a row
// the song does not have is a usage error; an input that cannot be read or a file that cannot be
// written is a file error, told on `err`; the other inputs are still converted. A chart refused
// for a limit of the format is told on `err` and is no error. Returns the exit status.
int runConvert(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace rendlow::cli
