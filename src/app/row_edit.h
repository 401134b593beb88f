#pragma once

#include <span>
#include <string>
#include <string_view>

#include "base/result.h"
#include "slicer/track_settings.h"

namespace rendlow {

enum class FieldKind { Name, Number, SplitMethod, Flag };

// One field a row edit can set: its name, its kind, where it lives in TrackSettings, and what it
// does, in one line.
struct FieldRule {
  std::string_view name;
  FieldKind kind;
  int32_t TrackSettings::*number;
  bool TrackSettings::*flag;
  std::string_view help;
};

// A new value for one field of one track row, as the command line's --set ROW:FIELD=VALUE gives
// it, checked when parsed.
struct RowEdit {
  int row = 0;
  const FieldRule* field = nullptr;
  std::string text;    // the definition name
  int32_t number = 0;  // every other field, flags as 0 or 1
};

// Parses "ROW:FIELD=VALUE". ROW counts from 0; FIELD is a TrackSettings field name; VALUE is a
// whole number from 0 up (splitMethod 0 to 2, ignoreBpm and enabled 0 or 1), or for
// definitionName a name of 1 to 511 bytes without TAB or line breaks. No value means "keep" here,
// so none that an edit record would read as "keep" is accepted.
Result<RowEdit> parseRowEdit(std::string_view text);

// Puts the edit's value into `settings`, leaving every other field as it is.
void applyRowEdit(const RowEdit& edit, TrackSettings& settings);

// Every field a row edit can set, in the order the help lists them.
std::span<const FieldRule> rowEditFields();

}  // namespace rendlow
