#pragma once

// Hands the files the tests write to the interop tests, which read them with independent parsers:
// the rendering MIDI files (tests/interop/midi_file.test.mjs, with a MIDI parser) go to the "midi"
// subfolder, the charts (tests/interop/bms_chart.test.mjs, with the BMS parser of a public
// rhythm-game player) to the "charts" subfolder. Does nothing unless RENDLOW_INTEROP_DIR names a
// folder.

#include <string>

namespace rendlow {
class Project;
}

namespace rendlow::test {

// Copies the file at `midiPath`, which `project` was just written to, into the folder as
// "<suite>.<test>.<n>.mid" and describes beside it, in "<same name>.json", what the project holds
// for it: the header's division and, per written track (hasContent and enabled), every written
// event (kind None is never written) with its absolute layout tick, status, meta type and data.
void exportForInterop(const Project& project, const std::string& midiPath);

// Copies the chart at `chartPath` and the MIDI file it was made from into the "charts" folder as
// "<suite>.<test>.<n>.bme" and "<same name>.source.mid", and describes beside them, in
// "<same name>.json", every background object the chart must hold: its #WAV id and the song
// tick of the note-on it stands for.
void exportChartForInterop(const Project& project, const std::string& sourceMidiPath,
                           const std::string& chartPath);

}  // namespace rendlow::test
