#pragma once

// How the command line shows the progress of long work on standard error: a bar redrawn in place
// on a terminal, a line as each phase begins with --verbose elsewhere, nothing with --quiet.

#include <optional>
#include <ostream>
#include <string>

#include "app/progress.h"
#include "base/message.h"

namespace rendlow::cli {

// The bar's text, without a line end: the phase, a bar of the share done, what the phase has
// done, and the time left at the pace so far (once there is a pace to judge by).
std::string progressBarText(const Progress& progress, double elapsedSeconds, Audience audience);

// The line --verbose prints as a phase begins; none as it ends.
std::optional<Message> phaseLine(const Progress& progress);

enum class ProgressStyle { None, Bar, PhaseLines };

// A bar on a terminal unless quiet; else a line per phase when verbose; else nothing.
ProgressStyle progressStyleFor(bool terminal, bool quiet, bool verbose);

// Whether standard error is a terminal.
bool standardErrorIsTerminal();

// The report that shows progress on `err` in `style`, timing from its making; none for None.
ProgressReport progressReport(ProgressStyle style, std::ostream& err);

}  // namespace rendlow::cli
