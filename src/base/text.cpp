#include "base/text.h"

#include "base/platform.h"

namespace rendlow {

std::string boundedText(std::string_view text) {
  const std::size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  return std::string(text.substr(0, kMaxTextBytes));
}

std::string displayText(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  if (text.size() <= kMaxTextBytes) return std::string(text);
  std::size_t end = 0;
  while (end < text.size()) {
    const std::size_t width = isLeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1;
    if (end + width > kMaxTextBytes) break;
    end += width;
  }
  return std::string(text.substr(0, end));
}

std::size_t findLastChar(std::string_view text, char ch) {
  std::size_t found = std::string_view::npos;
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] == ch) found = i;
    i += isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
  }
  return found;
}

std::string caseFolded(std::string_view text) {
  std::string folded(text);
  for (std::size_t i = 0; i < folded.size(); ++i) {
    if (isLeadByte(static_cast<unsigned char>(folded[i]))) {
      ++i;
    } else if (folded[i] >= 'A' && folded[i] <= 'Z') {
      folded[i] = static_cast<char>(folded[i] - 'A' + 'a');
    }
  }
  return folded;
}

}  // namespace rendlow
