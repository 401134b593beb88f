#pragma once

#include <ostream>

#include "cli/options.h"

namespace rendlow::cli {

// A conversion of each input in turn: loads it as the load flow does, applies each --set to its
// row through applyRowSettings (as the form's update button does, every field it does not name
// kept), runs the output flow with -o and the chart header texts, then shows
// the table of the converted tracks and says on `out` which files it wrote. A --set for a row
// the song does not have is a usage error. An input that cannot be read, a file that cannot be
// written, and every refusal of the output flow (an output over the input MIDI file, a track too
// complex to lay out; nothing is written then) is a file error; the other inputs are still
// converted. Everything that went wrong is told on `err` with the messages the desktop program
// shows. A chart refused for a limit of its format or size, and a re-timing that did not settle,
// are told but are no error: the other files stand. Returns the exit status.
int runConvert(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace rendlow::cli
