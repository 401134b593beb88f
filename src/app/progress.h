#pragma once

// How far long work has come (rendering or cutting the sounds, then measuring them), as values
// the front ends show their own way: a bar on a terminal, a line per phase, a window's gauge.

#include <cstdint>
#include <functional>

namespace rendlow {

enum class WorkPhase { RenderingSounds, CuttingSounds, Measuring };

struct Progress {
  WorkPhase phase = WorkPhase::RenderingSounds;
  bool phaseDone = false;  // the phase ended; otherwise it begins
  int32_t tracks = 0;      // the tracks whose sounds are made
  int32_t tracksDone = 0;
  double songSeconds = 0;  // the length of the song to measure
  double secondsMeasured = 0;
};

// Called as the work goes, on the thread that runs it.
using ProgressReport = std::function<void(const Progress&)>;

// The share of the whole work done, from 0 to 1: making the sounds is the first half, measuring
// them the second.
double shareDone(const Progress& progress);

}  // namespace rendlow
