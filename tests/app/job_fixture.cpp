#include "job_fixture.h"

#include <cstdlib>
#include <fstream>
#include <map>

#include "app/keysounds.h"
#include "audio/io/audio_backend.h"
#include "audio/synthesized_stem.h"
#include "bms/chart_lines.h"

namespace rendlow::test {

namespace fs = std::filesystem;

namespace {

// A fresh folder "<suite>.<test>.<n>" under $RENDLOW_INTEROP_DIR/<kind>, the same on every run;
// empty when the variable is not set.
std::string caseFolder(const std::string& kind) {
  const char* root = std::getenv("RENDLOW_INTEROP_DIR");
  if (!root || !*root) return "";
  static std::map<std::string, int> written;
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "." + info->name();
  std::replace(name.begin(), name.end(), '/', '_');
  const fs::path folder = fs::path(root) / kind / (name + "." + std::to_string(written[kind + name]++));
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder.string();
}

}  // namespace

std::string withPlatformLineEnds(std::string text) {
#ifdef _WIN32
  for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 2))
    text.insert(at, 1, '\r');
#endif
  return text;
}

void writeWav(const std::string& path, const audio::AudioBuffer& sound) {
  ASSERT_TRUE(audio::builtinBackend().write(path, sound, audio::AudioFileType::Wav)) << path;
}

void writeStems(JobRun& job, const std::set<std::string>& names, double lateSeconds) {
  fs::create_directories(job.dir.file("stems"));
  const audio::TempoMap tempo = renderingFileTempoMap(job.app.project.song, *job.converted);
  for (const audio::RenderingFileTrack& track : renderingFileTracks(*job.converted)) {
    if (!names.count(track.stemName)) continue;
    const audio::AudioBuffer stem =
        audio::test::delayed(audio::test::synthesizedStem(track, tempo), lateSeconds);
    writeWav(job.dir.file("stems/" + track.stemName + ".wav"), stem);
  }
}

void exportJobForInterop(const JobRun& job, const std::string& stem) {
  const std::string folder = caseFolder("jobs");
  if (folder.empty()) return;
  fs::copy_file(job.dir.file(stem + ".mid"), folder + "/source.mid");
  fs::copy_file(job.dir.file(stem + "_out.mid"), folder + "/rendering.mid");
  const bool bmson = fs::exists(job.dir.file(stem + "_out.bmson"));
  fs::copy_file(job.dir.file(stem + (bmson ? "_out.bmson" : "_out.bme")),
                folder + (bmson ? "/chart.bmson" : "/chart.bme"));
  const Song& song = job.app.project.song;
  const Converted& converted = *job.converted;
  std::ofstream out(folder + "/held.txt", std::ios::binary);
  out << "division " << song.header.division << "\n";
  for (const std::size_t track : converted.tracks) {
    out << "track\n";
    for (const TimedEvent& event : converted.layout.tracks[track].events) {
      if (event.kind == EventKind::None) continue;
      out << "event " << event.tick << ' ' << int{event.status} << ' ' << int{event.metaType};
      for (const uint8_t byte : song.dataOf(event)) out << ' ' << int{byte};
      out << '\n';
    }
  }
  for (const ChartTrack& track : converted.chart.tracks) {
    for (const ChartNote& note : track.notes)
      out << "object " << toBase36(note.wav) << ' ' << note.tick << '\n';
  }
}

void exportKeptChartForInterop(const JobRun& job, const std::string& fresh) {
  const std::string folder = caseFolder("kept");
  if (folder.empty()) return;
  fs::copy_file(job.dir.file("song_out.bme.bak"), folder + "/edited.bme");
  fs::copy_file(job.dir.file("song_out.bme"), folder + "/merged.bme");
  std::ofstream(folder + "/fresh.bme", std::ios::binary) << fresh;
}

void exportKeysoundsForInterop(const std::string& chartPath) {
  const std::string folder = caseFolder("keysounds");
  if (folder.empty()) return;
  const fs::path chart(chartPath);
  for (const auto& entry : fs::directory_iterator(chart.parent_path())) {
    const std::string extension = entry.path().extension().string();
    if (entry.path() == chart || extension == ".wav" || extension == ".ogg")
      fs::copy_file(entry.path(), folder / entry.path().filename());
  }
}

}  // namespace rendlow::test
