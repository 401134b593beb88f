#include "bms/chart_text.h"

#include <cctype>

#include "bms/chart_format.h"

namespace rendlow {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string upperCase(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

}  // namespace

std::string_view trimmedLine(std::string_view text) {
  while (!text.empty() && (isBlank(text.front()) || text.front() == '\r')) text.remove_prefix(1);
  while (!text.empty() && (isBlank(text.back()) || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

std::vector<std::string_view> textLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  }
  return lines;
}

HeaderLine headerLineOf(std::string_view line) {
  std::size_t end = 0;
  while (end < line.size() && !isBlank(line[end])) ++end;
  return {upperCase(line.substr(0, end)), trimmedLine(line.substr(end))};
}

int32_t definitionIdOf(const HeaderLine& line, std::string_view command) {
  if (line.command.size() != command.size() + 2 || !line.command.starts_with(command)) return -1;
  return base36Id(std::string_view(line.command).substr(command.size()));
}

std::optional<ChannelLineText> channelLineOf(std::string_view line) {
  constexpr std::size_t colon = kChannelLineStartSize - 1;
  if (line.size() < kChannelLineStartSize || line[0] != '#' || line[colon] != ':' || !isDigit(line[1]) ||
      !isDigit(line[2]) || !isDigit(line[3]))
    return std::nullopt;
  const int32_t measure = (line[1] - '0') * 100 + (line[2] - '0') * 10 + (line[3] - '0');
  return ChannelLineText{measure, upperCase(line.substr(4, 2)), trimmedLine(line.substr(kChannelLineStartSize))};
}

int channelNumber(std::string_view channel) {
  return isDigit(channel[0]) && isDigit(channel[1]) ? (channel[0] - '0') * 10 + (channel[1] - '0') : -1;
}

}  // namespace rendlow
