#pragma once

#include <string>
#include <string_view>

#include "base/result.h"
#include "slicer/track_fields.h"

namespace rendlow {

// A new value for one field of one track row, as the command line's --set ROW:FIELD=VALUE gives
// it, checked when parsed.
struct RowEdit {
  int row = 0;
  const TrackField* field = nullptr;
  std::string text;    // the definition name
  int32_t number = 0;  // every other field, flags as 0 or 1
};

// Parses "ROW:FIELD=VALUE". ROW counts from 0; FIELD is a field of the table; VALUE is a whole
// number within the field's bounds, or for a name 1 to 511 bytes without TAB or line breaks that
// can name a file in the chart's folder (see isSafeFileName). No value means "keep" here, so none
// that an edit record would read as "keep" is accepted.
Result<RowEdit> parseRowEdit(std::string_view text);

// Puts the edit's value into `settings`, leaving every other field as it is.
void applyRowEdit(const RowEdit& edit, TrackSettings& settings);

}  // namespace rendlow
