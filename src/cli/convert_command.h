#pragma once

#include <ostream>

#include "cli/options.h"

namespace rendlow::cli {

// A conversion: loads the input as the load flow does, applies each --set to its row through
// applyRowSettings (as the form's update button does, every field it does not name kept), puts
// -o into the output-file box, runs the output flow and says on `out` which files it wrote.
// A --set for a row the song does not have is a usage error; an input that cannot be read or a
// file that cannot be written is a file error, told on `err`. Returns the exit status.
int runConvert(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace rendlow::cli
