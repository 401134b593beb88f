#include <cstdio>

#include "core/platform.h"

namespace rendlow {

bool isLeadByte(unsigned char) { return false; }

bool replaceFile(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;  // POSIX rename replaces atomically
}

}  // namespace rendlow
