#include "app/progress.h"

#include <algorithm>

namespace rendlow {

namespace {

double partDone(double done, double whole) { return whole > 0 ? std::clamp(done / whole, 0.0, 1.0) : 0.0; }

}  // namespace

double shareDone(const Progress& progress) {
  if (progress.phase == WorkPhase::Measuring)
    return 0.5 + 0.5 * (progress.phaseDone ? 1.0 : partDone(progress.secondsMeasured, progress.songSeconds));
  return 0.5 * (progress.phaseDone ? 1.0 : partDone(progress.tracksDone, progress.tracks));
}

}  // namespace rendlow
