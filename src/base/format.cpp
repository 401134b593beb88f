#include "base/format.h"

#include <cstdio>

namespace rendlow {

void appendFormattedList(std::string& out, const char* format, va_list args) {
  va_list measuring;
  va_copy(measuring, args);
  const int size = std::vsnprintf(nullptr, 0, format, measuring);
  va_end(measuring);
  if (size <= 0) return;
  const std::size_t start = out.size();
  out.resize(start + static_cast<std::size_t>(size) + 1);
  std::vsnprintf(out.data() + start, static_cast<std::size_t>(size) + 1, format, args);
  out.resize(start + static_cast<std::size_t>(size));
}

void appendFormatted(std::string& out, const char* format, ...) {
  va_list args;
  va_start(args, format);
  appendFormattedList(out, format, args);
  va_end(args);
}

}  // namespace rendlow
