#pragma once

// The catalogue's texts about the track settings, each field known by the name --set gives it
// ("noteInterval"): the label of its box in the settings group, the header of its column in the
// track table and its line of --help, and the way advice names it to each reader.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/message.h"

namespace rendlow {

struct FieldTexts {
  Message caption;  // the label of its box in the settings group
  Message column;   // the header of its column in the track table, short
  Message help;     // what the value does, in one line, without its default
};

// The texts of the field --set names `field`; all empty when the catalogue has no such field.
FieldTexts fieldTexts(std::string_view field);

// The fields the catalogue has texts for, by name.
std::vector<std::string_view> cataloguedFields();

// The field's line of --set's help: what it does, then `byDefault`.
Message fieldHelpLine(std::string_view field, const Message& byDefault);
// What a definition name is by default: made per row when the song loads.
Message perRowNameDefault();

// The value advice leaves to the reader.
Message anyValue();

// A setting as advice names it to each reader: the window names the box that sets it by its
// caption, 「音符間隔」; the command line the option that sets it on a row, in its language:
// "--set 行:noteInterval=…", "--set ROW:noteInterval=…".
Message settingAdvice(std::string_view field, const Message& value = anyValue());

// The same advice for the command line alone, where the window has no box to name: it shows
// nothing there.
Message commandLineAdvice(std::string_view field, const Message& value);

// What keeps one field of a settings file's "tr" line from being read: the line ends before it,
// it holds nothing, it is no whole number, or the number lies outside what --set takes.
enum class FieldFault { Missing, Empty, NotWholeNumber, OutOfRange };
struct RefusedField {
  std::string_view field;  // as --set names it
  FieldFault fault{};
  std::string given;     // the field's text as the line holds it
  int32_t smallest = 0;  // the range of an OutOfRange number
  int32_t largest = 0;
};
// Why such a field keeps line `lineNumber` (from 1) from loading, with what the author can do.
Message settingsFieldRefusedReason(std::size_t lineNumber, const RefusedField& refused);

}  // namespace rendlow
