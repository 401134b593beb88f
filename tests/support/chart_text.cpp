#include "support/chart_text.h"

#include <algorithm>
#include <numeric>
#include <sstream>

#include "bms/chart_lines.h"
#include "app/project.h"
#include "support/midi_builder.h"

namespace rendlow::test {

namespace {

ChartObject reduced(int32_t measure, int64_t numerator, int64_t denominator, std::string id) {
  const int64_t common = std::gcd(numerator, denominator);
  return {measure, numerator / common, denominator / common, std::move(id)};
}

}  // namespace

std::string readTextFile(const std::string& path) {
  std::string text = readText(path);
  std::string lines;
  lines.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    lines += text[i];
  }
  return lines;
}

std::vector<ChartObject> channelObjects(std::string_view chartText, std::string_view channel) {
  std::vector<ChartObject> objects;
  std::istringstream lines{std::string(chartText)};
  std::string line;
  while (std::getline(lines, line)) {
    if (line.size() < 7 || line[0] != '#' || line[6] != ':' || line.substr(4, 2) != channel) continue;
    if (!std::all_of(line.begin() + 1, line.begin() + 4, [](char c) { return c >= '0' && c <= '9'; }))
      continue;
    const int32_t measure = std::stoi(line.substr(1, 3));
    const std::string slots = line.substr(7);
    const int64_t count = static_cast<int64_t>(slots.size() / 2);
    for (int64_t i = 0; i < count; ++i) {
      std::string id = slots.substr(static_cast<std::size_t>(i) * 2, 2);
      if (id != "00") objects.push_back(reduced(measure, i, count, std::move(id)));
    }
  }
  std::sort(objects.begin(), objects.end());
  return objects;
}

std::vector<ChartObject> placedNotes(const Project& project) {
  std::vector<ChartObject> objects;
  for (const auto& track : project.chartTracks) {
    for (const auto& note : track->notes) {
      objects.push_back(reduced(note->measureIndex, note->position, note->resolution, toBase36(note->wav)));
    }
  }
  std::sort(objects.begin(), objects.end());
  return objects;
}

}  // namespace rendlow::test
