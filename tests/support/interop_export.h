#pragma once

// Hands the rendering MIDI files the tests write to the interop test (tests/interop), which reads
// them with an independent MIDI parser. Does nothing unless RENDLOW_INTEROP_DIR names a folder.

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

}  // namespace rendlow::test
