#pragma once

// Fitting the song's .bme chart into its #WAV ids: what --fit asks for, and what the window offers
// when it refuses a chart for its ids.

#include "app/fit.h"
#include "base/result.h"

namespace rendlow {

class Application;

// Gives the rows the finest slicing whose .bme chart fits within ZZ, measured on the song as an
// output reads it with the settings as they stand, and tells what changed: no change when they
// already fit; a problem, with the rows unchanged, when even the coarsest slicing does not.
Result<FitResult> fitRowsIntoIds(Application& app);

}  // namespace rendlow
