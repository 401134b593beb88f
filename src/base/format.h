#pragma once

#include <cstdarg>
#include <string>

namespace rendlow {

// Appends printf-style formatted text to `out`, however long it comes out.
void appendFormatted(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void appendFormattedList(std::string& out, const char* format, va_list args);

}  // namespace rendlow
