#pragma once

// Hands the charts the tests write to the interop test (tests/interop/bms_chart.test.mjs), which
// reads them with a BMS parser that players use. Does nothing unless RENDLOW_INTEROP_DIR names a
// folder; the charts go to its "charts" subfolder.

#include <string>

namespace rendlow {
class Project;
}

namespace rendlow::test {

// Copies the chart at `chartPath` and the MIDI file it was made from into the folder as
// "<suite>.<test>.<n>.bme" and "<same name>.source.mid", and describes beside them, in
// "<same name>.json", every background object the chart must hold: its #WAV id and the song
// tick of the note-on it stands for.
void exportChartForInterop(const Project& project, const std::string& sourceMidiPath,
                           const std::string& chartPath);

}  // namespace rendlow::test
