#include "audio/io/file_access.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "audio/audio_messages.h"
#include "base/file_input.h"
#include "base/file_output.h"
#include "base/platform.h"

namespace rendlow::audio {

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

#ifdef _WIN32
constexpr const char* kSeparator = "\\";
#else
constexpr const char* kSeparator = "/";
#endif

// Walks the characters, so the second byte of a Shift_JIS character ("表" ends in 0x5C) is
// never taken for a backslash.
bool endsInSeparator(const std::string& folder) {
  bool separator = false;
  for (std::size_t i = 0; i < folder.size(); ++i) {
    separator = folder[i] == '/' || (kSeparator[0] == '\\' && folder[i] == '\\');
    if (isLeadByte(static_cast<unsigned char>(folder[i]))) ++i;
  }
  return separator;
}

}  // namespace

Result<std::string> readWholeFile(const std::string& path) {
  // A folder is opened like a file: the system's error says what is wrong with it.
  return rendlow::readWholeFile<std::string>(path, {fileSystemReason, nullptr});
}

bool fileExists(const std::string& path) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  return file != nullptr;
}

Result<void> writeSoundFile(const std::string& path, std::string_view bytes) {
  const Result<void> written = writeFileAtomically(path, bytes, FileMode::Binary);
  if (!written) return Problem{audioNotWrittenMessage(path, written.problem().message)};
  return {};
}

std::string pathIn(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder + (endsInSeparator(folder) ? "" : kSeparator) + name;
}

std::string withoutExtension(const std::string& fileName) {
  const std::size_t dot = fileName.rfind('.');
  return dot == std::string::npos ? fileName : fileName.substr(0, dot);
}

Result<std::vector<std::string>> fileNamesIn(const std::string& folder) {
  namespace fs = std::filesystem;
  std::vector<std::string> names;
  std::error_code error;
  // A name the narrow character set cannot hold makes the library throw while converting it.
  try {
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
      if (entry->is_regular_file(error)) names.push_back(entry->path().filename().string());
    }
  } catch (const fs::filesystem_error& failure) {
    error = failure.code();
  }
  if (error) return Problem{fileSystemReason(error.default_error_condition().value())};
  std::sort(names.begin(), names.end());
  return names;
}

std::string lowerCase(std::string name) {
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return name;
}

}  // namespace rendlow::audio
