#include "cli/error_output.h"

#include <cstdlib>

namespace rendlow::cli {

Audience consoleAudience() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (!value || !*value) continue;
    return std::string_view(value).starts_with("ja") ? Audience::JapaneseConsole : Audience::EnglishConsole;
  }
  return Audience::EnglishConsole;
}

std::string asStandardError(std::string_view message) {
  std::string text = "rendlow-cli: ";
  for (char c : message) {
    text += c;
    if (c == '\n') text += "  ";
  }
  text += '\n';
  return text;
}

}  // namespace rendlow::cli
