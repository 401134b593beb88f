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
// shows. A chart refused for a limit of its format or size is a failure too: the rendering file
// goes with it, and only the settings file is saved. A re-timing that did not settle is told as a
// warning: the files stand. --cut and --keysounds say when no chart was written for them. Before
// anything is converted, an -o that names an existing folder and a --cut that names a file are
// refused. With --verbose it tells what it reads, converts and writes. Returns the exit status.
int runConvert(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace rendlow::cli
