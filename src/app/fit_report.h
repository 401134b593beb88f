#pragma once

// The fit told to the author: the settings it changed, as lines of the command line's report and
// as the advice of a chart refused for its #WAV ids.

#include <cstdint>
#include <vector>

#include "app/fit.h"
#include "base/message.h"
#include "base/messages.h"

namespace rendlow {

class Project;

// Every field the fit changed, row by row in the order of the field table.
std::vector<FittedField> fittedFields(const Project& project, const FitResult& fit);

// What --fit did: the ids before and after, then per row its changes and its ids.
Message fitReport(const Project& project, const FitResult& fit);

// Why a .bme chart whose ids run up to `largest` is refused, with the settings --fit would choose
// and the ids they give, measured on the project's settings as they stand.
Message wavIdRefusal(const Project& project, int64_t largest, int64_t limit);

}  // namespace rendlow
