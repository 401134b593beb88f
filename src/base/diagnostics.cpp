#include "base/diagnostics.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace rendlow {

void Diagnostics::print(const char* format, ...) {
  if (!out_) return;
  char small[256];
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(small, sizeof small, format, args);
  va_end(args);
  if (length < 0) {
    va_end(again);
    return;
  }
  if (static_cast<std::size_t>(length) < sizeof small) {
    out_->write(small, length);
  } else {
    std::vector<char> large(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(large.data(), large.size(), format, again);
    out_->write(large.data(), length);
  }
  va_end(again);
}

}  // namespace rendlow
