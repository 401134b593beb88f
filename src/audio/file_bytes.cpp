#include "audio/file_bytes.h"

#include <cerrno>
#include <cstdio>
#include <memory>

#include "audio/audio_messages.h"
#include "base/file_output.h"

namespace rendlow::audio {

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

Result<std::string> readWholeFile(const std::string& path) {
  errno = 0;
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) return Problem{fileSystemReason(errno)};
  std::string bytes;
  char block[65536];
  std::size_t count;
  while ((count = std::fread(block, 1, sizeof block, file.get())) > 0) bytes.append(block, count);
  if (std::ferror(file.get())) return Problem{fileSystemReason(errno)};
  return bytes;
}

Result<void> writeSoundFile(const std::string& path, std::string_view bytes) {
  const WriteStatus status = writeFileAtomically(path, bytes, FileMode::Binary);
  if (!status) return Problem{audioNotWrittenMessage(path, writeFailedReason(status.reason))};
  return {};
}

}  // namespace rendlow::audio
