#include "base/file_output.h"

#include <cerrno>
#include <cstdio>

#include "base/messages.h"
#include "base/platform.h"

namespace rendlow {

namespace {

Problem systemProblem() { return {writeReason(errno)}; }

}  // namespace

Result<void> writeFileAtomically(const std::string& path, std::string_view contents, FileMode mode) {
  if (path.empty()) return Problem{noFileNameReason()};
  // Through a link the file it points to is replaced, from beside it, so the link stays a link.
  const std::string target = linkTarget(path);
  const std::string temporary = target + ".rendlow-tmp";
  // stdio in text mode does the line-end translation of the platform, as the format asks.
  std::FILE* file = std::fopen(temporary.c_str(), mode == FileMode::Text ? "w" : "wb");
  if (!file) return systemProblem();
  const bool written = std::fwrite(contents.data(), 1, contents.size(), file) == contents.size();
  const Problem writeProblem = written ? Problem{} : systemProblem();
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    const Problem problem = written ? systemProblem() : writeProblem;
    removeFile(temporary);
    return problem;
  }
  if (!replaceFile(temporary, target)) {
    const Problem problem = systemProblem();
    removeFile(temporary);
    return problem;
  }
  return {};
}

}  // namespace rendlow
