#pragma once

#include <string>
#include <string_view>

#include "base/result.h"

namespace rendlow {

enum class FileMode { Binary, Text };

// Writes `contents` to a temporary file beside `path`, then moves it over `path` in one step, so
// a failed write never destroys the file that was there and leaves no temporary behind. A path
// that is a symbolic link is written through: its target is replaced and the link stays. In Text
// mode every "\n" becomes the platform's line end (CR LF on Windows). On failure the problem says
// why (writeReason), for the caller to put under its own first line.
Result<void> writeFileAtomically(const std::string& path, std::string_view contents, FileMode mode);

}  // namespace rendlow
