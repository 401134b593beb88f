#include "base/diagnostics.h"

#include <cstdarg>

#include "base/format.h"

namespace rendlow {

void Diagnostics::print(const char* format, ...) {
  if (!out_) return;
  line_.clear();
  va_list args;
  va_start(args, format);
  appendFormattedList(line_, format, args);
  va_end(args);
  out_->write(line_.data(), static_cast<std::streamsize>(line_.size()));
}

}  // namespace rendlow
