#pragma once

#include <optional>
#include <ostream>

#include "cli/options.h"

namespace rendlow::cli {

// Names of the command that the file system shows to be wrong, told on `err` before anything is
// converted: an -o without a separator at its end where a folder stands (it would be taken for a
// file; a refusal), and a --cut that names a file, not a folder (a mistake in the command). The
// exit status then; nothing when the names may be used. An input that looks like a rendering file
// (see looksLikeRenderingFile) is converted, with a hint told first, so that it stands above
// whatever the conversion tells.
std::optional<int> refuseNames(const Options& options, std::ostream& err);

}  // namespace rendlow::cli
