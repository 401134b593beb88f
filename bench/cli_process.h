#pragma once

// Runs the real rendlow-cli as its own process, through the small static peak_memory launcher,
// and gives back its exit status, its error output, its wall time and its peak memory.
//
// Why a process and a launcher: the job's memory is what a user's machine must hold, and only a
// process of its own shows it. A child's peak counts the memory of whatever it was before it
// started its program (a spawned child starts as a view of this process, whose songs and slicer
// runs would be counted), so the launcher, which holds almost nothing, is the one that forks.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/midi_builder.h"

namespace rendlow::bench {

struct ProcessRun {
  int status = -1;     // the program's exit status; -1 when it did not exit normally
  std::string errors;  // what it wrote on standard error
  double seconds = 0;  // from its start to its exit
  double peakMiB = 0;  // its peak resident memory
};

// The rendlow-cli to measure: the first argument of the benchmark when there is one (to time
// another build of the program, an older one say, under the very same measure), else the one
// built beside the benchmark.
inline std::string cliPath(int argc, char** argv) {
  return argc > 1 ? std::string(argv[1]) : std::string(RENDLOW_CLI_PATH);
}

// Runs `argv` through the launcher; standard output goes to `outputFile` (thrown away unless
// named), standard error is kept in `errorFile` (the launcher appends its own "SECONDS KIB" line
// after the program's lines).
inline ProcessRun runMeasured(const std::vector<std::string>& argv, const std::string& errorFile,
                              const std::string& outputFile = "/dev/null") {
  std::vector<std::string> all{RENDLOW_PEAK_MEMORY_PATH};
  all.insert(all.end(), argv.begin(), argv.end());
  std::vector<char*> args;
  for (const std::string& a : all) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t child = 0;
  if (posix_spawn(&child, args[0], &actions, nullptr, args.data(), environ) != 0) {
    std::fprintf(stderr, "cannot start %s\n", args[0]);
    std::exit(2);
  }
  posix_spawn_file_actions_destroy(&actions);
  int launcherStatus = 0;
  waitpid(child, &launcherStatus, 0);

  std::string errors = test::readText(errorFile);
  // The launcher's line is the last one.
  std::size_t end = errors.size();
  if (end > 0 && errors[end - 1] == '\n') --end;
  const std::size_t start = errors.rfind('\n', end == 0 ? 0 : end - 1);
  const std::size_t lineStart = start == std::string::npos ? 0 : start + 1;
  double seconds = 0;
  long kib = 0;
  if (std::sscanf(errors.c_str() + lineStart, "%lf %ld", &seconds, &kib) != 2) {
    std::fprintf(stderr, "the launcher did not report on %s\n", argv[0].c_str());
    std::exit(2);
  }
  errors.resize(lineStart);
  ProcessRun run;
  run.status = WIFEXITED(launcherStatus) ? WEXITSTATUS(launcherStatus) : -1;
  run.errors = std::move(errors);
  run.seconds = seconds;
  run.peakMiB = static_cast<double>(kib) / 1024.0;
  return run;
}

}  // namespace rendlow::bench
