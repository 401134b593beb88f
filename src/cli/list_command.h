#pragma once

#include <ostream>

#include "cli/options.h"

namespace rendlow::cli {

// --list: loads the input as the desktop program's load flow does and prints one line per track
// row: the row number from 0, then the fields of the row's settings-file "tr" line, TAB-separated.
// With --verbose the reader's progress lines come first. Returns the exit status.
int runList(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace rendlow::cli
