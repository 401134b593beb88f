#include "base/file_output.h"

#include <cerrno>
#include <cstdio>

#include "base/messages.h"
#include "base/platform.h"

namespace rendlow {

namespace {

std::string systemReason() { return writeReason(errno); }

}  // namespace

WriteStatus writeFileAtomically(const std::string& path, std::string_view contents, FileMode mode) {
  if (path.empty()) return WriteStatus::failed(noFileNameReason());
  const std::string temporary = path + ".rendlow-tmp";
  // stdio in text mode does the line-end translation of the platform, as the format asks.
  std::FILE* file = std::fopen(temporary.c_str(), mode == FileMode::Text ? "w" : "wb");
  if (!file) return WriteStatus::failed(systemReason());
  const bool written = std::fwrite(contents.data(), 1, contents.size(), file) == contents.size();
  const std::string writeReason = written ? std::string() : systemReason();
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    const std::string reason = written ? systemReason() : writeReason;
    std::remove(temporary.c_str());
    return WriteStatus::failed(reason);
  }
  if (!replaceFile(temporary, path)) {
    const std::string reason = systemReason();
    std::remove(temporary.c_str());
    return WriteStatus::failed(reason);
  }
  return {};
}

}  // namespace rendlow
