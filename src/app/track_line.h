#pragma once

#include <string>
#include <string_view>

#include "slicer/track_settings.h"

namespace rendlow {

// One track row as a settings file's "tr" line carries it, TAB-separated, without the key and the
// line end: the track name, then each field the table places on the line, in its place (flags as
// 1 or 0). The command line's track listing prints the same fields in the same order.
std::string formatTrackFields(std::string_view trackName, const TrackSettings& settings);

// Reads the fields of a "tr" line (the text after the key's TAB) into a record that starts as a
// track no row sets (TrackSettings{}). The scan stops at the first field that does not match,
// and every field from there on keeps that value:
//  - a TAB between fields matches exactly one TAB;
//  - a text field is the characters up to the next TAB or line end (at most 511 bytes), none
//    for an unnamed track or an empty definition name;
//  - a number skips leading spaces and TABs, then needs an optional sign and at least one digit;
//    a number outside the signed 32-bit range does not match.
// Anything after the last field is ignored.
TrackSettings scanTrackFields(std::string_view fields);

}  // namespace rendlow
