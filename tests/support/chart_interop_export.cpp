#include "support/chart_interop_export.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "bms/chart_lines.h"
#include "core/project.h"
#include "support/midi_builder.h"

namespace rendlow::test {

namespace {

std::string chartFolder() {
  const char* folder = std::getenv("RENDLOW_INTEROP_DIR");
  return folder && *folder ? std::string(folder) + "/charts" : std::string();
}

// "<suite>.<test>.<n>": one name per chart a test writes, the same on every run.
std::string nextCaseName() {
  static std::map<std::string, int> written;
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "outside-a-test";
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  return name + "." + std::to_string(written[name]++);
}

std::string describeChart(const Project& project, const std::string& name) {
  std::ostringstream out;
  out << "{\"chart\":\"" << name << ".bme\",\"source\":\"" << name << ".source.mid\",\"objects\":[";
  bool first = true;
  for (const auto& track : project.chartTracks) {
    for (const auto& note : track->notes) {
      out << (first ? "\n  " : ",\n  ") << "{\"id\":\"" << toBase36(note->wav) << "\",\"tick\":" << note->tick
          << "}";
      first = false;
    }
  }
  out << "]}\n";
  return out.str();
}

}  // namespace

void exportChartForInterop(const Project& project, const std::string& sourceMidiPath,
                           const std::string& chartPath) {
  const std::string folder = chartFolder();
  if (folder.empty()) return;
  const std::string name = nextCaseName();
  std::filesystem::create_directories(folder);
  writeBytes(folder + "/" + name + ".bme", readBytes(chartPath));
  writeBytes(folder + "/" + name + ".source.mid", readBytes(sourceMidiPath));
  std::ofstream(folder + "/" + name + ".json", std::ios::binary) << describeChart(project, name);
}

}  // namespace rendlow::test
