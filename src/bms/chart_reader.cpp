#include "bms/chart_reader.h"

#include <cctype>
#include <cstdlib>

#include "bms/chart_format.h"
#include "bms/chart_text.h"

namespace rendlow {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool startsWithCommand(std::string_view line, std::string_view command) {
  if (line.size() < command.size()) return false;
  for (std::size_t i = 0; i < command.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(line[i])) != command[i]) return false;
  }
  return true;
}

// A number at the start of `text`, or a non-positive value when there is none.
double leadingNumber(std::string_view text) {
  const std::string copy(trimmedLine(text));
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
  const std::string_view name = rest.size() > 2 ? trimmedLine(rest.substr(2)) : std::string_view();
  if (id > 0 && !name.empty()) chart.wavById[id] = std::string(name);
}

// "#mmmcc:data", with blanks allowed after the colon.
void readChannelLine(std::string_view line, ChartText& chart) {
  if (const std::optional<ChannelLineText> channel = channelLineOf(line))
    chart.lines.push_back({channel->measure, channelNumber(channel->channel), std::string(channel->data)});
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
  for (const std::string_view line : textLines(text)) readLine(trimmedLine(line), chart);
  return chart;
}

}  // namespace rendlow
