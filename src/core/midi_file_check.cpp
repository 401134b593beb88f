#include "core/midi_file_check.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

#include "base/messages.h"

namespace rendlow {

namespace {

constexpr std::size_t kHeaderBytes = 14;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

std::optional<std::string> midiFileProblem(const std::string& path) {
  std::error_code ignored;
  // A folder opens as a file on some systems and only fails when read.
  if (std::filesystem::is_directory(path, ignored)) return folderReason();
  const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) return readReason(errno);
  unsigned char header[kHeaderBytes];
  const std::size_t read = std::fread(header, 1, sizeof header, file.get());
  if (read < 4 || std::memcmp(header, "MThd", 4) != 0) return notMidiReason();
  if (read < kHeaderBytes) return headerCutShortReason();
  const auto division = static_cast<int16_t>((header[12] << 8) | header[13]);
  if (division <= 0) return divisionReason(division);
  return std::nullopt;
}

}  // namespace rendlow
