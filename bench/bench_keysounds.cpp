// Keysounds on a long song: the generated 6-track, 28k-note song, made into sound files by the
// real rendlow-cli, once rendered with FluidSynth (--keysounds) with the default settings and
// once with velocity and controller widths of 16 on every row, and once cut from stems
// (--cut), which are rendered here beforehand as an author's sequencer would. For each run: its
// wall time as a real-time factor (seconds of song per second of work), its peak memory, and
// the fidelity line it printed.
//
// Goal on the reference machine: rendering and cutting at 20 times real time or faster. An
// argument names another rendlow-cli to measure instead of the one built here.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/job.h"
#include "app/keysounds.h"
#include "app/memory_form.h"
#include "audio/io/audio_backend.h"
#include "cli_process.h"
#include "song_stems.h"
#include "midi/midi_reader.h"
#include "generated_song.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"

namespace {

using namespace rendlow;

void fail(const std::string& what) {
  std::fprintf(stderr, "bench_keysounds: %s\n", what.c_str());
  std::exit(1);
}

// From the song's start to its last event, under its own tempo changes.
double songSeconds(const std::string& path) {
  RunningStatus running;
  Diagnostics quiet;
  const Result<Song> song = readMidiFile(path, running, quiet);
  if (!song) fail("cannot read the generated song");
  std::vector<audio::TempoChange> changes;
  for (const MidiTrack& track : song->tracks) {
    for (const MidiEvent& event : track.events) {
      if (!event.isMeta(kMetaTempo)) continue;
      int32_t microseconds = 0;
      for (const uint8_t byte : song->dataOf(event)) microseconds = (microseconds << 8) | byte;
      changes.push_back({event.tick, microseconds});
    }
  }
  return audio::TempoMap(song->header.division, std::move(changes)).secondsAt(song->songEnd);
}

void report(const char* what, const std::vector<std::string>& argv, const rendlow::test::TempDir& dir,
            double songSeconds) {
  const std::string output = dir.file("output.txt");
  const bench::ProcessRun run = bench::runMeasured(argv, dir.file("errors.txt"), output);
  const std::size_t refusal = run.errors.find("The #WAV ids would run up to");
  if (refusal != std::string::npos) {
    std::printf("%-34s chart refused: %s\n", what,
                run.errors.substr(refusal, run.errors.find('.', refusal) - refusal).c_str());
    return;
  }
  if (run.status != 0) fail(std::string(what) + " failed: " + run.errors);
  std::string fidelity = test::readText(output);
  const std::size_t line = fidelity.find("log-spectral");
  fidelity = line == std::string::npos ? "(no fidelity line)\n" : fidelity.substr(line);
  std::printf("%-34s %7.2f s  %5.1fx real time  %6.1f MiB\n  %s", what, run.seconds,
              songSeconds / run.seconds, run.peakMiB, fidelity.c_str());
}

// --keysounds with each of `fields` set to 16 on every row.
std::vector<std::string> finerRun(const std::string& cli, const std::string& song, int rows,
                                  std::initializer_list<const char*> fields) {
  std::vector<std::string> argv{cli, "-q", "--defaults", "--keysounds"};
  for (int row = 0; row < rows; ++row) {
    for (const char* field : fields)
      argv.insert(argv.end(), {"--set", std::to_string(row) + ":" + field + "=16"});
  }
  argv.push_back(song);
  return argv;
}

}  // namespace

int main(int argc, char** argv) {
  if (!audio::fluidSynthInBuild()) fail("this build has no FluidSynth");
  const std::string cli = bench::cliPath(argc, argv);
  rendlow::test::TempDir dir;
  const std::string song = dir.file("song.mid");
  rendlow::test::writeBytes(song, rendlow::test::generatedSong());
  const std::string stems = dir.file("stems");
  std::filesystem::create_directories(stems);
  const auto start = std::chrono::steady_clock::now();
  const int rows = bench::renderStems(song, stems, "");
  const double stemSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double seconds = songSeconds(song);
  std::printf("generated song: %.1f s, %d rows\n", seconds, rows);
  std::printf("%-34s %7.2f s  %5.1fx real time\n", "job and stems rendered in-process", stemSeconds,
              seconds / stemSeconds);

  report("--keysounds, default settings", {cli, "-q", "--defaults", "--keysounds", song}, dir, seconds);
  report("--keysounds, widths of 16", finerRun(cli, song, rows, {"velocitySplitWidth", "ccSplitWidth"}),
         dir, seconds);
  report("--keysounds, velocity width of 16", finerRun(cli, song, rows, {"velocitySplitWidth"}), dir,
         seconds);
  report("--cut from stems, default settings", {cli, "-q", "--defaults", "--cut", stems, song}, dir,
         seconds);
  return 0;
}
