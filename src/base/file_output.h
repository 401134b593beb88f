#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/result.h"

namespace rendlow {

enum class FileMode { Binary, Text };

// Writes `contents` to a temporary file beside `path`, then moves it over `path` in one step, so
// a failed write never destroys the file that was there and leaves no temporary behind. The file
// replaced keeps its permissions. A path that is a symbolic link is written through: its target is
// replaced and the link stays. In Text mode every "\n" becomes the platform's line end (CR LF on
// Windows). An interrupt noted (see interruption.h) before the file is in place leaves it as it
// was. On failure the problem says why (writeReason, interruptedReason), for the caller to put
// under its own first line.
Result<void> writeFileAtomically(const std::string& path, std::string_view contents, FileMode mode);

// One of several files that stand or fall together.
struct FileToWrite {
  std::string path;
  std::string_view contents;
  FileMode mode = FileMode::Binary;
};

// Which of the files written together failed, and why.
struct FailedFile {
  std::size_t index = 0;
  Problem problem;
};

// Writes every file as writeFileAtomically does, all of them complete beside their targets before
// the first is put in place, and the old files kept aside until all are: when one cannot be put in
// place, those put before it are put back, so every file stays as it was. Nothing when all stand.
std::optional<FailedFile> writeFilesTogether(std::span<const FileToWrite> files);

}  // namespace rendlow
