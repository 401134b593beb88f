// Keysounds against the synthesizer's own cost: a 20-minute, eight-track soundtrack (see
// soundtrackSong) rendered whole by `fluidsynth -F` with the same SoundFont, reverb and chorus
// off, and made into keysounds by the real rendlow-cli, alternated, three rounds, medians:
//   --keysounds (fidelity included)          time <= 1.2 x fluidsynth's, memory <= fluidsynth's + 64 MiB
//   --cut stems --compare mix.wav            memory <= 128 MiB
//   --keysounds on the song's first half     memory of the whole song <= that + 16 MiB
// The stems are the rendering file's tracks rendered here beforehand, and mix.wav is fluidsynth's
// render of the song. An argument names another rendlow-cli to measure instead of the one built here;
// a second, the song's bars (700, 20 minutes); a third, the rounds (3).

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "audio/synth/rendering.h"
#include "cli_process.h"
#include "generated_song.h"
#include "song_stems.h"
#include "support/temp_dir.h"

namespace {

using namespace rendlow;

const char* const kSoundFont = "/usr/share/sounds/sf2/FluidR3_GM.sf2";

void fail(const std::string& what) {
  std::fprintf(stderr, "bench_stream: %s\n", what.c_str());
  std::exit(1);
}

struct Measured {
  std::vector<double> seconds;
  std::vector<double> mib;
  std::string output;
};

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void run(const std::string& name, const std::vector<std::string>& argv, const test::TempDir& dir,
         std::map<std::string, Measured>& runs) {
  const std::string output = dir.file("output.txt");
  const bench::ProcessRun r = bench::runMeasured(argv, dir.file("errors.txt"), output);
  // 3: warnings only, which the fidelity may well give on a long song; the files stand.
  if (r.status != 0 && r.status != 3) fail(name + " failed: " + r.errors);
  Measured& m = runs[name];
  m.seconds.push_back(r.seconds);
  m.mib.push_back(r.peakMiB);
  m.output = test::readText(output);
}

std::string fidelityOf(const std::string& output) {
  const std::size_t line = output.find("log-spectral");
  return line == std::string::npos ? "(no fidelity line)" : output.substr(line, output.find('\n', line) - line);
}

}  // namespace

int main(int argc, char** argv) {
  if (!audio::fluidSynthInBuild()) fail("this build has no FluidSynth");
  if (!std::filesystem::exists(kSoundFont)) fail(std::string(kSoundFont) + " is not installed");
  const std::string cli = bench::cliPath(argc, argv);
  test::TempDir dir;
  const std::string song = dir.file("song.mid"), half = dir.file("half.mid");
  // A second argument shortens the song to that many bars, for a quicker look.
  const int bars = argc > 2 ? std::atoi(argv[2]) : 700;
  test::writeBytes(song, test::soundtrackSong(bars));
  test::writeBytes(half, test::soundtrackSong(bars / 2));
  const std::string stems = dir.file("stems"), mix = dir.file("stems/mix.wav");
  std::filesystem::create_directories(stems);
  bench::renderStems(song, stems, kSoundFont);
  const std::vector<std::string> fluidsynth{"fluidsynth", "-n", "-i", "-q", "-R", "0", "-C", "0", "-r", "44100",
                                            "-F", mix, kSoundFont, song};
  std::map<std::string, Measured> runs;
  const int rounds = argc > 3 ? std::atoi(argv[3]) : 3;
  for (int round = 0; round < rounds; ++round) {
    run("fluidsynth -F", fluidsynth, dir, runs);
    run("--keysounds", {cli, "-q", "--defaults", "--soundfont", kSoundFont, "--keysounds", song}, dir, runs);
    run("--keysounds, first half", {cli, "-q", "--defaults", "--soundfont", kSoundFont, "--keysounds", half}, dir, runs);
    run("--cut stems --compare mix.wav", {cli, "-q", "--defaults", "--cut", stems, "--compare", mix, song}, dir, runs);
  }
  std::printf("%-32s %9s %9s\n", "median of 3", "seconds", "peak MiB");
  for (const auto& [name, m] : runs) std::printf("%-32s %9.2f %9.1f\n", name.c_str(), median(m.seconds), median(m.mib));
  const auto seconds = [&](const char* name) { return median(runs[name].seconds); };
  const auto mib = [&](const char* name) { return median(runs[name].mib); };
  std::printf("--keysounds time / fluidsynth's:          %.2f (goal <= 1.2)\n", seconds("--keysounds") / seconds("fluidsynth -F"));
  std::printf("--keysounds memory - fluidsynth's:        %.1f MiB (goal <= 64)\n", mib("--keysounds") - mib("fluidsynth -F"));
  std::printf("--cut --compare memory:                   %.1f MiB (goal <= 128)\n", mib("--cut stems --compare mix.wav"));
  std::printf("--keysounds memory, whole - first half:   %.1f MiB (goal <= 16)\n", mib("--keysounds") - mib("--keysounds, first half"));
  std::printf("--keysounds: %s\n", fidelityOf(runs["--keysounds"].output).c_str());
  std::printf("--cut --compare: %s\n", fidelityOf(runs["--cut stems --compare mix.wav"].output).c_str());
  return 0;
}
