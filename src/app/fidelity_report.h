#pragma once

// How faithfully the chart just written plays its song back, the whole song and each converted
// track alone, and what the figures warn the author of.

#include <optional>
#include <string>
#include <vector>

#include "app/keysounds.h"
#include "audio/cut/sound_output.h"
#include "audio/fidelity/fidelity.h"
#include "audio/synth/rendering.h"
#include "base/notices.h"

namespace rendlow {

struct Converted;
struct Song;

struct FidelityReport {
  std::optional<audio::FidelityFigures> song;
  std::vector<audio::TrackFidelity> tracks;  // in file order
  // What kept a measure from being made, and what the figures made warn of.
  Notices notices;
};

// Measures the chart at `chartPath`, played from the sound files of `output`. The synthesizer's
// sounds (no stems folder) are measured against each converted track of the song rendered alone
// and against their sum, the song; cut sounds against the author's recording of the song and
// against their renders of each track, where the request names them. Nothing here fails the
// run: the sound files stand, and what could not be measured is told among the notices.
// `soundFont`, held since the sounds were rendered, is let go once the song's synthesizers hold it.
FidelityReport measureFidelity(const Song& song, const Converted& converted, const std::string& chartPath,
                               const KeysoundRequest& request, const audio::SoundOutput& output,
                               std::optional<audio::SoundFontHold> soundFont = std::nullopt);

}  // namespace rendlow
