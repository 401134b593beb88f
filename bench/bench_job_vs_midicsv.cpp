// The whole command-line job against a plain MIDI parse: `rendlow-cli -q SONG.mid` (reading,
// slicing, layout, re-timing, and writing the rendering MIDI file, the settings file and the
// chart) and `midicsv SONG.mid` (reading the file and printing every event) on the same
// generated song, alternated over several runs. Prints each one's median time and peak memory,
// the ratio of the medians, and how much longer the job takes on the same song twice as long.
//
// Targets on the reference machine: the time ratio at most 2.0, the job's peak memory at most
// 10 MB, doubling the song at most 2.2 times the time.

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "support/generated_song.h"
#include "support/temp_dir.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRuns = 9;

struct Run {
  double seconds = 0;
  double peakMiB = 0;
};

// Runs the program with its output thrown away; its time from start to exit, and its peak
// memory. Spawned, not forked, so the child's peak is its own and not a copy of this process.
Run runProcess(const std::vector<std::string>& argv) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  const auto start = Clock::now();
  pid_t child = 0;
  if (posix_spawnp(&child, args[0], &actions, nullptr, args.data(), environ) != 0) {
    std::fprintf(stderr, "cannot start %s\n", args[0]);
    std::exit(1);
  }
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "%s failed\n", argv[0].c_str());
    std::exit(1);
  }
  return {seconds, static_cast<double>(usage.ru_maxrss) / 1024.0};
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

struct Medians {
  double job = 0;
  double jobPeak = 0;
  double midicsv = 0;
  double midicsvPeak = 0;
};

Medians measure(const rendlow::test::TempDir& dir, int scale) {
  const std::string song = dir.file("song" + std::to_string(scale) + ".mid");
  rendlow::test::writeBytes(song, rendlow::test::generatedSong(scale));
  std::vector<double> job, jobPeak, csv, csvPeak;
  for (int i = 0; i < kRuns; ++i) {
    const Run a = runProcess({RENDLOW_CLI_PATH, "-q", song});
    const Run b = runProcess({"midicsv", song});
    job.push_back(a.seconds);
    jobPeak.push_back(a.peakMiB);
    csv.push_back(b.seconds);
    csvPeak.push_back(b.peakMiB);
  }
  return {median(job), median(jobPeak), median(csv), median(csvPeak)};
}

}  // namespace

int main() {
  rendlow::test::TempDir dir;
  const Medians one = measure(dir, 1);
  const Medians two = measure(dir, 2);
  std::printf("song     rendlow-cli -q        midicsv               time ratio\n");
  std::printf("x1       %.4f s %6.1f MiB  %.4f s %6.1f MiB  %.2f\n", one.job, one.jobPeak, one.midicsv,
              one.midicsvPeak, one.job / one.midicsv);
  std::printf("x2       %.4f s %6.1f MiB  %.4f s %6.1f MiB  %.2f\n", two.job, two.jobPeak, two.midicsv,
              two.midicsvPeak, two.job / two.midicsv);
  std::printf("doubling the song: the job takes %.2f times as long\n", two.job / one.job);
  return 0;
}
