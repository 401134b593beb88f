#pragma once

#include <ostream>

#include "cli/options.h"

namespace rendlow::cli {

// --list: loads the input as a conversion does (through the settings file saved beside it unless
// --defaults) and prints, TAB-separated, a header line, then per track row its number from 0, its
// track name and every field in the order --help lists them. Standard error tells which settings
// file was used and, with --verbose, the reader's progress lines. Returns the exit status.
int runList(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace rendlow::cli
