// The whole command-line job against a plain MIDI parse: `rendlow-cli -q SONG.mid` (reading,
// slicing, layout, re-timing, and writing the rendering MIDI file, the settings file and the
// chart) and `midicsv SONG.mid` (reading the file and printing every event) on the same
// generated song, alternated over several runs. Prints each one's median time and peak memory,
// the ratio of the medians, and how much longer the job takes on the same song twice as long.
//
// Targets on the reference machine: the time ratio at most 2.0, the job's peak memory at most
// 10 MB, doubling the song at most 2.2 times the time. An argument names another rendlow-cli to
// measure instead of the one built here.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli_process.h"
#include "generated_song.h"
#include "support/temp_dir.h"

namespace {

constexpr int kRuns = 9;

// Runs the program with its output thrown away, through the launcher, which measures its time
// from start to exit and its own peak memory (see cli_process.h). Ends the benchmark when the
// program fails.
rendlow::bench::ProcessRun runProcess(const std::vector<std::string>& argv, const std::string& errorFile) {
  rendlow::bench::ProcessRun run = rendlow::bench::runMeasured(argv, errorFile);
  if (run.status != 0) {
    std::fprintf(stderr, "%s failed: %s", argv[0].c_str(), run.errors.c_str());
    std::exit(1);
  }
  return run;
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

Medians measure(const std::string& cli, const rendlow::test::TempDir& dir, int scale) {
  const std::string song = dir.file("song" + std::to_string(scale) + ".mid");
  rendlow::test::writeBytes(song, rendlow::test::generatedSong(scale));
  std::vector<double> job, jobPeak, csv, csvPeak;
  for (int i = 0; i < kRuns; ++i) {
    const rendlow::bench::ProcessRun a = runProcess({cli, "-q", song}, dir.file("errors.txt"));
    const rendlow::bench::ProcessRun b = runProcess({"midicsv", song}, dir.file("errors.txt"));
    job.push_back(a.seconds);
    jobPeak.push_back(a.peakMiB);
    csv.push_back(b.seconds);
    csvPeak.push_back(b.peakMiB);
  }
  return {median(job), median(jobPeak), median(csv), median(csvPeak)};
}

}  // namespace

int main(int argc, char** argv) {
  const std::string cli = rendlow::bench::cliPath(argc, argv);
  rendlow::test::TempDir dir;
  const Medians one = measure(cli, dir, 1);
  const Medians two = measure(cli, dir, 2);
  std::printf("song     rendlow-cli -q        midicsv               time ratio\n");
  std::printf("x1       %.4f s %6.1f MiB  %.4f s %6.1f MiB  %.2f\n", one.job, one.jobPeak, one.midicsv,
              one.midicsvPeak, one.job / one.midicsv);
  std::printf("x2       %.4f s %6.1f MiB  %.4f s %6.1f MiB  %.2f\n", two.job, two.jobPeak, two.midicsv,
              two.midicsvPeak, two.job / two.midicsv);
  std::printf("doubling the song: the job takes %.2f times as long\n", two.job / one.job);
  return 0;
}
