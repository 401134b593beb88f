#pragma once

// --set ROW:FIELD=VALUE: one edit of one row of the track table, made the way the desktop
// program's update button makes it, so the row keeps every value the edit does not name.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/track_settings.h"

namespace rendlow::cli {

struct RowEdit {
  int row = 0;
  std::string field;   // a TrackSettings field name, as the user typed it
  std::string text;    // the value of definitionName
  int32_t number = 0;  // the value of every other field (0 or 1 for ignoreBpm and enabled)
};

// Reads "ROW:FIELD=VALUE". Returns an error text for the user, or an empty one when `edit` holds
// the parsed edit. ROW counts from 0; numbers are decimal, 0 or more; splitMethod is 0, 1 or 2;
// ignoreBpm and enabled are 0 or 1; definitionName is any non-empty text.
std::string parseRowEdit(std::string_view argument, RowEdit& edit);

// The edit record the update button would apply for this edit to a row showing `row`: the named
// field set, every other field marked "keep" (ignoreBpm and enabled, which have no keep value,
// as the row shows them).
TrackSettings editRecord(const RowEdit& edit, const TrackSettings& row);

// The field names --set accepts, for the usage text.
std::string_view rowEditFieldNames();

}  // namespace rendlow::cli
