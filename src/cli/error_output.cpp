#include "cli/error_output.h"

namespace rendlow::cli {

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
