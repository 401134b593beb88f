#include "base/path_names.h"

#include "base/platform.h"
#include "base/text.h"

namespace rendlow {

namespace {

bool isSeparator(char c) { return c == '/' || c == '\\'; }

// Where the file name starts: after the last separator, searched as multibyte text.
std::size_t fileNameStart(std::string_view path) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < path.size();) {
    if (isSeparator(path[i])) start = i + 1;
    i += isLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size() ? 2 : 1;
  }
  return start;
}

// Only the separators this platform reads count: a "\" ends no folder name on other systems.
bool endsInSeparator(std::string_view folder) {
  bool separator = false;
  for (std::size_t i = 0; i < folder.size(); ++i) {
    separator = folder[i] == '/' || folder[i] == pathSeparator();
    if (isLeadByte(static_cast<unsigned char>(folder[i]))) ++i;
  }
  return separator;
}

// A second byte of a double-byte character of code page 932. A lead byte before any other byte
// starts no character, and the byte after it counts on its own: a "/" there still separates.
bool isTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

// What Windows refuses in a file name, and what leads out of a folder anywhere.
bool isForbiddenInFileName(unsigned char c) {
  constexpr std::string_view kSigns = "/\\:*?\"<>|";
  return c < 0x20 || c == 0x7F || kSigns.find(static_cast<char>(c)) != std::string_view::npos;
}

}  // namespace

std::string_view pathStem(std::string_view path) {
  const std::size_t name = fileNameStart(path);
  const std::size_t dot = findLastChar(path.substr(name), '.');
  if (dot == std::string_view::npos || dot == 0) return path;
  return path.substr(0, name + dot);
}

std::string_view folderOf(std::string_view path) { return path.substr(0, fileNameStart(path)); }

std::string_view fileNameOf(std::string_view path) { return path.substr(fileNameStart(path)); }

std::string pathIn(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return endsInSeparator(folder) ? folder + name : folder + pathSeparator() + name;
}

bool isSafeFileName(std::string_view name) {
  if (name.find_first_not_of('.') == std::string_view::npos) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto byte = static_cast<unsigned char>(name[i]);
    if (isLeadByte(byte) && i + 1 < name.size() && isTrailByte(static_cast<unsigned char>(name[i + 1])))
      ++i;
    else if (isForbiddenInFileName(byte))
      return false;
  }
  return true;
}

}  // namespace rendlow
