// What the fidelity figures say of faults an author can make: a song made into sound files with
// FluidSynth, measured as it is, then with one track's sounds silenced, starting 10 ms and 30 ms
// late, and converted with coarser and finer splits. For each: the song's figures, the figures
// of the track the fault is in, and the first line of each warning. The README's reading of the
// figures comes from these tables.
//
// Arguments: MIDI files (default: the bundled example song).

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/application.h"
#include "app/conversion.h"
#include "app/fidelity_report.h"
#include "app/job.h"
#include "app/keysounds.h"
#include "app/memory_form.h"
#include "app/project.h"
#include "audio/io/audio_backend.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"

namespace {

using namespace rendlow;
namespace fs = std::filesystem;

using Fault = std::function<audio::AudioBuffer(audio::AudioBuffer)>;

audio::AudioBuffer silenced(audio::AudioBuffer sound) {
  std::fill(sound.samples.begin(), sound.samples.end(), 0.0f);
  return sound;
}

Fault lateBy(double seconds) {
  return [seconds](audio::AudioBuffer sound) {
    const auto frames = static_cast<std::size_t>(seconds * sound.sampleRate);
    sound.samples.insert(sound.samples.begin(), frames * sound.channels, 0.0f);
    return sound;
  };
}

std::string firstLine(const Message& message) {
  const std::string text = message.in(Audience::EnglishConsole);
  return text.substr(0, text.find('\n'));
}

void printRow(const std::string& label, const FidelityReport& report, const std::string& track) {
  std::printf("%-26s", label.c_str());
  if (report.song)
    std::printf(" song %6.2f dB %5.1f dB %5.1f dB", report.song->logSpectralDistanceDb,
                report.song->spectralSnrDb, report.song->waveformSnrDb);
  for (const audio::TrackFidelity& t : report.tracks)
    if (t.definitionName == track)
      std::printf("  %s %6.2f dB %5.1f dB lag %+.1f ms", track.c_str(), t.figures.logSpectralDistanceDb,
                  t.figures.spectralSnrDb, 1000.0 * t.figures.lagFrames / t.figures.sampleRate);
  std::printf("\n");
  for (const Notice& notice : report.notices) std::printf("%28s%s\n", "", firstLine(notice.message).c_str());
}

// One song converted and rendered in a folder of its own.
struct RenderedSong {
  rendlow::test::TempDir dir;
  Application app{nullptr};
  MemoryForm form;
  std::optional<rendlow::Converted> converted;
  std::string chart;
};

// The song converted with `edits` ("FIELD=VALUE") on every row, and its sounds rendered.
bool convert(RenderedSong& run, const std::string& song, const std::vector<std::string>& edits) {
  fs::copy_file(song, run.dir.file("song.mid"));
  JobRequest request;
  request.input = run.dir.file("song.mid");
  request.useSavedSettings = false;
  Result<JobReport> job = runJob(run.app, run.form, request);
  for (int row = 0; run.app.findRowSettings(row); ++row)
    for (const std::string& edit : edits)
      request.edits.push_back(*parseRowEdit(std::to_string(row) + ":" + edit));
  if (!edits.empty()) job = runJob(run.app, run.form, request);
  if (!job || !job->output || !job->output->chart) return false;
  run.chart = job->output->chart->path;
  run.converted = job->output->converted;
  return static_cast<bool>(makeKeysounds(run.app.project.song, *run.converted, run.chart, {}));
}

FidelityReport measure(RenderedSong& run) {
  const audio::SoundOutput output{run.dir.path(), audio::AudioFileType::Wav};
  return measureFidelity(run.app.project.song, *run.converted, run.chart, {}, output);
}

[[noreturn]] void cannot(const char* what, const std::string& path) {
  std::fprintf(stderr, "calibrate_fidelity: cannot %s %s\n", what, path.c_str());
  std::exit(1);
}

// A sound file read, or written, or the calibration ends: a sound left as it was would measure
// a fault as none.
audio::AudioBuffer read(const std::string& path) {
  Result<audio::AudioBuffer> sound = audio::builtinBackend().read(path);
  if (!sound) cannot("read", path);
  return std::move(*sound);
}

void write(const std::string& path, const audio::AudioBuffer& sound) {
  if (!audio::builtinBackend().write(path, sound, audio::AudioFileType::Wav)) cannot("write", path);
}

// The files of `track`'s sounds changed by `fault`, measured, then put back.
FidelityReport withFault(RenderedSong& run, const std::string& track, const Fault& fault) {
  std::map<std::string, audio::AudioBuffer> originals;
  for (const auto& entry : fs::directory_iterator(run.dir.path())) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(track + "_", 0) != 0 || entry.path().extension() != ".wav") continue;
    originals[entry.path().string()] = read(entry.path().string());
    write(entry.path().string(), fault(originals[entry.path().string()]));
  }
  FidelityReport report = measure(run);
  for (const auto& [path, sound] : originals) write(path, sound);
  return report;
}

void calibrate(const std::string& song) {
  std::printf("%s\n", song.c_str());
  RenderedSong run;
  if (!convert(run, song, {})) return (void)std::printf("  could not convert\n");
  const FidelityReport as = measure(run);
  for (const audio::TrackFidelity& track : as.tracks) {
    const std::string& name = track.definitionName;
    printRow("as made", as, name);
    printRow(name + " silenced", withFault(run, name, silenced), name);
    printRow(name + " 10 ms late", withFault(run, name, lateBy(0.010)), name);
    printRow(name + " 30 ms late", withFault(run, name, lateBy(0.030)), name);
  }
  const std::vector<std::pair<std::string, std::vector<std::string>>> splits{
      {"coarser (legato runs)", {"splitMethod=2"}},
      {"finer (each note, 16)", {"splitMethod=0", "velocitySplitWidth=16", "ccSplitWidth=16"}}};
  for (const auto& [label, edits] : splits) {
    RenderedSong other;
    if (!convert(other, song, edits)) continue;
    const FidelityReport report = measure(other);
    for (const audio::TrackFidelity& track : report.tracks) printRow(label, report, track.definitionName);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> songs(argv + 1, argv + argc);
  if (songs.empty()) songs.push_back(RENDLOW_SOURCE_DIR "/examples/example_song.mid");
  for (const std::string& song : songs) calibrate(song);
}
