#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "base/result.h"
#include "slicer/track_settings.h"

namespace rendlow {

// One track row as a settings file's "tr" line carries it, TAB-separated, without the key and the
// line end: the track name, then each field the table places on the line, in its place (flags as
// 1 or 0). The command line's track listing prints the same fields in the same order.
std::string formatTrackFields(std::string_view trackName, const TrackSettings& settings);

// Reads the fields of line `lineNumber`'s "tr" line (the text after the key's TAB), one TAB
// between fields, into a record that starts as a track no row sets (TrackSettings{}). The track
// name may be empty (an unnamed track); every other field must be there and hold a value --set
// would take: a definition name that is not empty, a whole number (an optional minus sign and
// digits, nothing else) within the field's range. A line written before a field was added ends
// early: the fields after the last one every saved file has keep their values. Anything after
// the last field is ignored. The problem names the line and the first field refused.
Result<TrackSettings> readTrackFields(std::string_view fields, std::size_t lineNumber);

}  // namespace rendlow
