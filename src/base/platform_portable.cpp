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
