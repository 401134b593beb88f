#pragma once

#include <string>
#include <string_view>

#include "slicer/track_settings.h"

namespace rendlow {

// The eleven fields of one track row as a settings file's "tr" line carries them, TAB-separated,
// without the key and the line end: track name, definition name, velocitySplitWidth, noteInterval,
// gridUnit, splitMethod, multipleThreshold, ignoreBpm as 1 or 0, ccSplitWidth, ccInterval,
// wavDefinitionGap. The command line's track listing prints the same fields in the same order.
std::string formatTrackFields(std::string_view trackName, const TrackSettings& settings);

// Reads the fields of a "tr" line (the text after the key's TAB) into a record that starts from
// the defaults. The scan stops at the first field that does not match, and every field from there
// on keeps its default:
//  - a TAB between fields matches exactly one TAB;
//  - a text field is the characters up to the next TAB or line end (at most 511 bytes), none
//    for an unnamed track or an empty definition name;
//  - a number skips leading spaces and TABs, then needs an optional sign and at least one digit;
//    a number outside the signed 32-bit range does not match.
// Anything after the eleventh field is ignored.
TrackSettings scanTrackFields(std::string_view fields);

}  // namespace rendlow
