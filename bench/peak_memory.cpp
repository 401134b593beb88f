// Runs a program and prints, on standard error, its wall time in seconds and its peak resident
// memory in KiB: "SECONDS KIB". Standard output is the program's own.
//
// A child's peak memory counts what it held before it started its program, and a forked child
// starts out with its parent's memory: measured from a large process, every program would look
// as large as that process. So the benchmarks start their programs through this small, statically
// linked one, which holds almost nothing when it forks.

#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  timespec start{};
  clock_gettime(CLOCK_MONOTONIC, &start);
  const pid_t child = fork();
  if (child == 0) {
    execvp(argv[1], argv + 1);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) < 0) return 2;
  timespec end{};
  clock_gettime(CLOCK_MONOTONIC, &end);
  const double seconds = static_cast<double>(end.tv_sec - start.tv_sec) + (end.tv_nsec - start.tv_nsec) / 1e9;
  std::fprintf(stderr, "%.6f %ld\n", seconds, usage.ru_maxrss);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 2;
}
