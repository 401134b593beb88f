#include <sys/stat.h>
#include <unistd.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "base/iconv_conversion.h"
#include "base/platform.h"
#include "base/system_text.h"

namespace rendlow {

bool isLeadByte(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

char pathSeparator() { return '/'; }

std::string systemPath(const std::string& path) { return toSystemText(path).value_or(path); }

std::string programPath(const std::string& systemName) { return toProgramText(systemName).value_or(systemName); }

std::FILE* openFile(const std::string& path, const char* mode) { return std::fopen(systemPath(path).c_str(), mode); }

std::optional<std::vector<std::string>> regularFilesIn(const std::string& folder, int& errorNumber) {
  namespace fs = std::filesystem;
  std::vector<std::string> names;
  std::error_code error;
  // A name the narrow character set cannot hold makes the library throw while converting it.
  try {
    for (fs::directory_iterator entry(systemPath(folder), error), end; !error && entry != end; entry.increment(error)) {
      if (entry->is_regular_file(error)) names.push_back(programPath(entry->path().filename().string()));
    }
  } catch (const fs::filesystem_error& failure) {
    error = failure.code();
  }
  if (!error) return names;
  errorNumber = error.default_error_condition().value();
  return std::nullopt;
}

bool removeFile(const std::string& path) { return std::remove(systemPath(path).c_str()) == 0; }

bool systemTakesFileName(std::string_view name) { return name.find_first_not_of('.') != std::string_view::npos; }

bool addFileName(const std::string& existing, const std::string& name) {
  return link(systemPath(existing).c_str(), systemPath(name).c_str()) == 0;
}

void copyFileMode(const std::string& model, const std::string& path) {
  struct stat status {};
  if (stat(systemPath(model).c_str(), &status) != 0) return;
  // Only the permission bits: a set-user bit must not travel to a file someone else wrote.
  chmod(systemPath(path).c_str(), status.st_mode & 0777);
}

unsigned long processId() { return static_cast<unsigned long>(getpid()); }

std::string programFolder() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : programPath(program.parent_path().string());
}

bool replaceFile(const std::string& from, const std::string& to) {
  // POSIX rename replaces atomically
  return std::rename(systemPath(from).c_str(), systemPath(to).c_str()) == 0;
}

std::string linkTarget(const std::string& path) {
  // As many links as the system itself follows before it gives up on a loop.
  constexpr int kMostLinks = 40;
  std::filesystem::path current(systemPath(path));
  std::error_code error;
  int followed = 0;
  for (; followed < kMostLinks && std::filesystem::is_symlink(current, error); ++followed) {
    const std::filesystem::path target = std::filesystem::read_symlink(current, error);
    if (error) break;
    // A relative target is read from the link's own folder.
    current = target.is_absolute() ? target : current.parent_path() / target;
  }
  // Only a link's target is the file system's spelling; the path itself stays as it was given.
  return followed == 0 ? path : programPath(current.string());
}

OutputSpot outputSpot(const std::string& path) {
  struct stat status {};
  // What cannot be looked at is left to the write, whose error then says why.
  if (stat(systemPath(path).c_str(), &status) != 0) return OutputSpot::Free;
  if (!S_ISREG(status.st_mode)) return OutputSpot::NotAFile;
  // The owner's permission, not the caller's: root may write anything, and must not.
  return (status.st_mode & S_IWUSR) != 0 ? OutputSpot::WritableFile : OutputSpot::ReadOnlyFile;
}

bool folderReadOnly(const std::string& folder) {
  struct stat status {};
  if (stat(folder.empty() ? "." : folder.c_str(), &status) != 0) return false;
  return S_ISDIR(status.st_mode) && (status.st_mode & S_IWUSR) == 0;
}

bool sameFile(const std::string& a, const std::string& b) {
  // The device and the inode name one file, whatever links or spellings lead to it.
  struct stat first {};
  struct stat second {};
  return stat(systemPath(a).c_str(), &first) == 0 && stat(systemPath(b).c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

std::string absolutePath(const std::string& path) {
  // The working folder comes from the file system, in its spelling; the result is the program's.
  std::error_code ignored;
  const std::filesystem::path absolute = std::filesystem::absolute(systemPath(path), ignored);
  return programPath(absolute.lexically_normal().string());
}

bool sameSpelling(const std::string& a, const std::string& b) { return a == b; }

std::string utf8FromProgramText(std::string_view text) {
  constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
  std::string out;
  IconvConversion conversion("UTF-8", "CP932");
  while (!text.empty()) {
    conversion.convert(text, out);
    if (text.empty()) break;
    // Without the conversion (a C library lacking code page 932), ASCII still passes.
    const auto byte = static_cast<unsigned char>(text.front());
    if (!conversion.opened() && byte < 0x80)
      out += text.front();
    else
      out += kReplacement;
    text.remove_prefix(1);
  }
  return out;
}

std::optional<std::string> programTextFromUtf8(std::string_view utf8) {
  IconvConversion conversion("CP932", "UTF-8");
  std::string out;
  if (!conversion.opened() || !conversion.convert(utf8, out)) return std::nullopt;
  return out;
}

void returnFreedMemory() {
#if defined(__GLIBC__)
  malloc_trim(0);
#endif
}

}  // namespace rendlow
