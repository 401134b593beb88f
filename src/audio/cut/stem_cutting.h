#pragma once

#include <string>
#include <vector>

#include "audio/cut/sound_cut.h"
#include "audio/cut/sound_output.h"
#include "audio/cut/stem_layout.h"
#include "base/result.h"

namespace rendlow::audio {

// Cuts every sound out of its track's stem, an audio file in `stemsFolder` the author rendered
// from tick 0 of the rendering MIDI file, and writes it to the output folder (see cutSound).
// Missing, extra and unreadable stems, and stems that do not fit the rendering file (see
// checkStem), are told in the report's notices, none of their sounds written, and the other
// tracks go on; so are stems of mixed sample rates, cut all the same. The problem is a sound
// file that could not be written, or a stems folder that could not be read. `recordingName`,
// when not empty, is the file name of an audio file in the folder that is no stem (the song's
// own render, to measure against): it is not told as extra.
Result<SoundFilesReport> cutStems(const std::vector<StemTrack>& tracks, const std::string& stemsFolder,
                                  const SoundOutput& output, const std::string& recordingName = "");

}  // namespace rendlow::audio
