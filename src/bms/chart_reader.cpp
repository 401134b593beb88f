#include "bms/chart_reader.h"

#include <cctype>
#include <cstdlib>

#include "bms/chart_format.h"

namespace rendlow {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (isBlank(text.front()) || text.front() == '\r')) text.remove_prefix(1);
  while (!text.empty() && (isBlank(text.back()) || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

bool startsWithCommand(std::string_view line, std::string_view command) {
  if (line.size() < command.size()) return false;
  for (std::size_t i = 0; i < command.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(line[i])) != command[i]) return false;
  }
  return true;
}

// A number at the start of `text`, or a non-positive value when there is none.
double leadingNumber(std::string_view text) {
  const std::string copy(trimmed(text));
  char* end = nullptr;
  const double value = std::strtod(copy.c_str(), &end);
  return end == copy.c_str() ? 0 : value;
}

// "#BPM 150" sets the tempo; "#BPM0A 150" defines id 0A for channel 08.
void readBpm(std::string_view rest, ChartText& chart) {
  if (!rest.empty() && isBlank(rest.front())) {
    if (const double bpm = leadingNumber(rest); bpm > 0) chart.bpm = bpm;
    return;
  }
  const int32_t id = base36Id(rest.substr(0, 2));
  const double bpm = rest.size() > 2 ? leadingNumber(rest.substr(2)) : 0;
  if (id > 0 && bpm > 0) chart.bpmById[id] = bpm;
}

void readWav(std::string_view rest, ChartText& chart) {
  const int32_t id = base36Id(rest.substr(0, 2));
  const std::string_view name = rest.size() > 2 ? trimmed(rest.substr(2)) : std::string_view();
  if (id > 0 && !name.empty()) chart.wavById[id] = std::string(name);
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int channelOf(char high, char low) {
  return isDigit(high) && isDigit(low) ? (high - '0') * 10 + (low - '0') : -1;
}

// "#mmmcc:data", with blanks allowed after the colon.
void readChannelLine(std::string_view line, ChartText& chart) {
  constexpr std::size_t colon = kChannelLineStartSize - 1;
  if (line.size() < kChannelLineStartSize || line[colon] != ':' || !isDigit(line[1]) || !isDigit(line[2]) ||
      !isDigit(line[3]))
    return;
  const int32_t measure = (line[1] - '0') * 100 + (line[2] - '0') * 10 + (line[3] - '0');
  chart.lines.push_back(
      {measure, channelOf(line[4], line[5]), std::string(trimmed(line.substr(kChannelLineStartSize)))});
}

void readLine(std::string_view line, ChartText& chart) {
  if (line.empty() || line.front() != '#') return;
  if (startsWithCommand(line, kBpmCommand)) return readBpm(line.substr(kBpmCommand.size()), chart);
  if (startsWithCommand(line, kWavCommand)) return readWav(line.substr(kWavCommand.size()), chart);
  readChannelLine(line, chart);
}

}  // namespace

ChartText parseChartText(std::string_view text) {
  ChartText chart;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    readLine(trimmed(text.substr(0, end)), chart);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  }
  return chart;
}

}  // namespace rendlow
