#pragma once

// The finest slicing whose .bme chart fits its #WAV ids (ZZ): found by planning each track (slice
// and number only), coarsening one lever of one track at a time, always the step that strays
// least from the song per id it saves.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "slicer/track_settings.h"

namespace rendlow {

class Project;

// One listed track the fit changed.
struct FitChange {
  int row = 0;
  std::size_t track = 0;
  TrackSettings before;
  TrackSettings after;
  int32_t idsBefore = 0;  // its definitions
  int32_t idsAfter = 0;
};

struct FitResult {
  int64_t largestIdBefore = 0;      // the chart's largest #WAV id with the settings as they stood
  int64_t largestId = 0;            // with the fitted settings (before, when nothing changed)
  bool fits = false;                // largestId is within ZZ
  std::vector<FitChange> changes;   // row order; empty when the settings already fit
  double meanMismatchDbBefore = 0;  // per note of the converted tracks (see SlicingMeasure)
  double meanMismatchDb = 0;
};

// The settings of the project's listed tracks that make its chart fit `limit` ids, as finely as
// the measure allows; the project is not changed. When even the coarsest slicing passes the limit,
// `fits` is false and `changes` hold that coarsest slicing. Every converted track counts, with its
// gap after it; only listed tracks change.
FitResult fitChartIds(const Project& project, int64_t limit);

// The project's settings with the fit's changes applied.
void applyFit(Project& project, const FitResult& fit);

}  // namespace rendlow
