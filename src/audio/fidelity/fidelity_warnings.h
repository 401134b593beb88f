#pragma once

// What a chart's fidelity figures tell the author to act on, beyond reading them: a playback
// silent where its reference is heard, out of time, measured against a reference that stops
// early, or so loud it clips. Each is a warning: the sound files stand.

#include <string>

#include "audio/fidelity/fidelity.h"
#include "base/notices.h"

namespace rendlow::audio {

// Past this a chart sounds out of time.
constexpr double kLagWarningSeconds = 0.020;
// A reference may stop while the playback's last sound rings on this long: the tail of a
// release cut at the end of the song, not a song left out.
constexpr double kShortReferenceSeconds = 1.0;

// The warnings of one measure. `definitionName` names the track measured, or is empty for the
// whole song, the only one a clipping mix is told for (its sum is what the player plays).
// `referencePath` is the author's render measured against, the sounds then being cut from the
// author's stems; empty for the synthesizer's own, which rings out to silence and so never stops
// early, the sounds then being rendered here too. What a warning advises follows: nothing the
// author never made is to be rendered again.
Notices fidelityWarnings(const FidelityFigures& figures, const std::string& definitionName,
                         const std::string& referencePath);

}  // namespace rendlow::audio
