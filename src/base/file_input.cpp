#include "base/file_input.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <system_error>
#include <vector>

#include "base/platform.h"

namespace rendlow {

Result<InputFile> openForReading(const std::string& path, const ReadReasons& reasons) {
  std::error_code ignored;
  if (reasons.folder && std::filesystem::is_directory(systemPath(path), ignored)) return Problem{reasons.folder()};
  errno = 0;
  InputFile file(openFile(path, "rb"));
  if (!file) return Problem{reasons.failed(errno)};
  return file;
}

template <class Bytes>
Result<Bytes> readWholeFile(const std::string& path, const ReadReasons& reasons) {
  Result<InputFile> opened = openForReading(path, reasons);
  if (!opened) return opened.problem();
  std::FILE* const file = opened->get();
  // The size is a hint only, to read the file in one go: a file may grow while it is read, and a
  // file whose size cannot be told is read block by block.
  std::error_code sizeError;
  const std::uintmax_t hint = std::filesystem::file_size(systemPath(path), sizeError);
  Bytes bytes(sizeError ? 0 : static_cast<std::size_t>(hint & 0xFFFFFFFF), '\0');
  std::size_t size = std::fread(bytes.data(), 1, bytes.size(), file);
  while (size == bytes.size() && !std::feof(file) && !std::ferror(file)) {
    bytes.resize(size + 64 * 1024);
    size += std::fread(bytes.data() + size, 1, bytes.size() - size, file);
  }
  if (std::ferror(file)) return Problem{reasons.failed(errno)};
  bytes.resize(size);
  return bytes;
}

template Result<std::string> readWholeFile(const std::string&, const ReadReasons&);
template Result<std::vector<uint8_t>> readWholeFile(const std::string&, const ReadReasons&);

bool fileExists(const std::string& path) { return InputFile(openFile(path, "rb")) != nullptr; }

Result<std::vector<std::string>> fileNamesIn(const std::string& folder, Message (*failed)(int errorNumber)) {
  int errorNumber = 0;
  std::optional<std::vector<std::string>> names = regularFilesIn(folder, errorNumber);
  if (!names) return Problem{failed(errorNumber)};
  std::sort(names->begin(), names->end());
  return std::move(*names);
}

}  // namespace rendlow
