#include "support/interop_export.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "bms/chart_lines.h"
#include "app/project.h"
#include "support/midi_builder.h"

namespace rendlow::test {

namespace {

std::string folderPath(const std::string& subfolder) {
  const char* folder = std::getenv("RENDLOW_INTEROP_DIR");
  return folder && *folder ? std::string(folder) + "/" + subfolder : "";
}

// "<suite>.<test>.<n>": one name per file a test writes into `folder`, the same on every run.
std::string nextCaseName(const std::string& folder) {
  static std::map<std::string, int> written;
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "outside-a-test";
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  return name + "." + std::to_string(written[folder + "/" + name]++);
}

void describeEvent(std::ostream& out, int64_t tick, const MidiEvent& event) {
  out << "{\"tick\":" << tick << ",\"status\":" << int{event.status} << ",\"metaType\":" << event.metaType
      << ",\"data\":[";
  const std::size_t length =
      std::min<std::size_t>(static_cast<std::size_t>(std::max(event.length, 0)), event.data.size());
  for (std::size_t i = 0; i < length; ++i) out << (i ? "," : "") << int{event.data[i]};
  out << "]}";
}

void describeTrack(std::ostream& out, const MidiTrack& track) {
  out << "[";
  int64_t tick = 0;
  bool first = true;
  for (const auto& event : track.events) {
    tick += event->delta;
    if (event->kind == EventKind::None) continue;
    out << (first ? "\n    " : ",\n    ");
    describeEvent(out, tick, *event);
    first = false;
  }
  out << "]";
}

std::string describeProject(const Project& project, const std::string& fileName) {
  std::ostringstream out;
  out << "{\"file\":\"" << fileName << "\",\"division\":" << project.header.division << ",\"tracks\":[";
  bool first = true;
  for (const auto& track : project.tracks) {
    if (!track->hasContent || !track->settings.enabled) continue;
    out << (first ? "\n  " : ",\n  ");
    describeTrack(out, *track);
    first = false;
  }
  out << "]}\n";
  return out.str();
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

void exportForInterop(const Project& project, const std::string& midiPath) {
  const std::string folder = folderPath("midi");
  if (folder.empty()) return;
  const std::string name = nextCaseName(folder);
  std::filesystem::create_directories(folder);
  writeBytes(folder + "/" + name + ".mid", readBytes(midiPath));
  std::ofstream(folder + "/" + name + ".json", std::ios::binary) << describeProject(project, name + ".mid");
}

void exportChartForInterop(const Project& project, const std::string& sourceMidiPath,
                           const std::string& chartPath) {
  const std::string folder = folderPath("charts");
  if (folder.empty()) return;
  const std::string name = nextCaseName(folder);
  std::filesystem::create_directories(folder);
  writeBytes(folder + "/" + name + ".bme", readBytes(chartPath));
  writeBytes(folder + "/" + name + ".source.mid", readBytes(sourceMidiPath));
  std::ofstream(folder + "/" + name + ".json", std::ios::binary) << describeChart(project, name);
}

}  // namespace rendlow::test
