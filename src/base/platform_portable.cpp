#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "base/platform.h"

namespace rendlow {

bool isLeadByte(unsigned char) { return false; }

char pathSeparator() { return '/'; }

bool replaceFile(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;  // POSIX rename replaces atomically
}

bool removeFile(const std::string& path) { return std::remove(path.c_str()) == 0; }

std::string linkTarget(const std::string& path) {
  // As many links as the system itself follows before it gives up on a loop.
  constexpr int kMostLinks = 40;
  std::filesystem::path current(path);
  std::error_code error;
  for (int followed = 0; followed < kMostLinks && std::filesystem::is_symlink(current, error); ++followed) {
    const std::filesystem::path target = std::filesystem::read_symlink(current, error);
    if (error) break;
    // A relative target is read from the link's own folder.
    current = target.is_absolute() ? target : current.parent_path() / target;
  }
  return current.string();
}

OutputSpot outputSpot(const std::string& path) {
  struct stat status {};
  // What cannot be looked at is left to the write, whose error then says why.
  if (stat(path.c_str(), &status) != 0) return OutputSpot::Free;
  if (!S_ISREG(status.st_mode)) return OutputSpot::NotAFile;
  // The owner's permission, not the caller's: root may write anything, and must not.
  return (status.st_mode & S_IWUSR) != 0 ? OutputSpot::WritableFile : OutputSpot::ReadOnlyFile;
}

bool sameFile(const std::string& a, const std::string& b) {
  // The device and the inode name one file, whatever links or spellings lead to it.
  struct stat first {};
  struct stat second {};
  return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
         first.st_ino == second.st_ino;
}

std::string absolutePath(const std::string& path) {
  std::error_code ignored;
  const std::filesystem::path absolute = std::filesystem::absolute(path, ignored);
  return absolute.lexically_normal().string();
}

bool sameSpelling(const std::string& a, const std::string& b) { return a == b; }

}  // namespace rendlow
