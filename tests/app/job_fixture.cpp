#include "job_fixture.h"

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "bms/chart_lines.h"

namespace rendlow::test {

namespace fs = std::filesystem;

namespace {

bool updating() {
  const char* update = std::getenv("RENDLOW_UPDATE_GOLDEN");
  return update && std::string(update) == "1";
}

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

void describeTrack(std::ostream& out, const Song& song, const MidiTrack& track) {
  out << "[";
  int64_t tick = 0;
  bool first = true;
  for (const MidiEvent& event : track.events) {
    tick += event.delta;
    if (event.kind == EventKind::None) continue;
    out << (first ? "\n    " : ",\n    ") << "{\"tick\":" << tick << ",\"status\":" << int{event.status}
        << ",\"metaType\":" << int{event.metaType} << ",\"data\":[";
    const auto data = song.dataOf(event);
    for (std::size_t i = 0; i < data.size(); ++i) out << (i ? "," : "") << int{data[i]};
    out << "]}";
    first = false;
  }
  out << "]";
}

}  // namespace

std::string withPlatformLineEnds(std::string text) {
#ifdef _WIN32
  std::string converted;
  for (char c : text) {
    if (c == '\n') converted += '\r';
    converted += c;
  }
  return converted;
#else
  return text;
#endif
}

void expectGolden(const std::string& written, const std::string& golden, bool text) {
  if (updating()) {
    fs::create_directories(fs::path(golden).parent_path());
    fs::copy_file(written, golden, fs::copy_options::overwrite_existing);
    return;
  }
  const std::string expected = readText(golden);
  ASSERT_FALSE(expected.empty()) << "missing golden file " << golden;
  EXPECT_TRUE(readText(written) == (text ? withPlatformLineEnds(expected) : expected))
      << written << " differs from " << golden;
}

void exportForInterop(const Project& project, const std::string& midiPath) {
  const std::string folder = folderPath("midi");
  if (folder.empty()) return;
  const std::string name = nextCaseName(folder);
  fs::create_directories(folder);
  writeBytes(folder + "/" + name + ".mid", readBytes(midiPath));
  std::ofstream out(folder + "/" + name + ".json", std::ios::binary);
  out << "{\"file\":\"" << name << ".mid\",\"division\":" << project.song.header.division << ",\"tracks\":[";
  bool first = true;
  for (const std::size_t track : project.convertedTracks()) {
    out << (first ? "\n  " : ",\n  ");
    describeTrack(out, project.song, project.song.tracks[track]);
    first = false;
  }
  out << "]}\n";
}

void exportChartForInterop(const Project& project, const std::string& sourceMidiPath, const std::string& chartPath) {
  const std::string folder = folderPath("charts");
  if (folder.empty()) return;
  const std::string name = nextCaseName(folder);
  fs::create_directories(folder);
  writeBytes(folder + "/" + name + ".bme", readBytes(chartPath));
  writeBytes(folder + "/" + name + ".source.mid", readBytes(sourceMidiPath));
  std::ofstream out(folder + "/" + name + ".json", std::ios::binary);
  out << "{\"chart\":\"" << name << ".bme\",\"source\":\"" << name << ".source.mid\",\"objects\":[";
  bool first = true;
  for (const BMSTrack& track : project.chart.chartTracks) {
    for (const BMSNote& note : track.notes) {
      out << (first ? "\n  " : ",\n  ") << "{\"id\":\"" << toBase36(note.wav) << "\",\"tick\":" << note.tick << "}";
      first = false;
    }
  }
  out << "]}\n";
}

void exportKeysoundsForInterop(const std::string& chartPath) {
  const std::string folder = folderPath("keysounds");
  if (folder.empty()) return;
  const fs::path target = fs::path(folder) / nextCaseName(folder);
  fs::create_directories(target);
  const fs::path chart(chartPath);
  for (const auto& entry : fs::directory_iterator(chart.parent_path())) {
    const std::string extension = entry.path().extension().string();
    if (entry.path() == chart || extension == ".wav" || extension == ".ogg")
      fs::copy_file(entry.path(), target / entry.path().filename(), fs::copy_options::overwrite_existing);
  }
}

}  // namespace rendlow::test
