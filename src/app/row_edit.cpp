#include "app/row_edit.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "base/messages_cli.h"
#include "base/path_names.h"
#include "base/text.h"

namespace rendlow {

namespace {

// A whole number written with decimal digits only (no sign, no spaces) that fits 32 bits.
std::optional<int32_t> wholeNumber(std::string_view text) {
  int32_t value = 0;
  if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::nullopt;
  const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (problem != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// The edit with `value` in `field`, or why it cannot go there.
Result<RowEdit> withValue(RowEdit edit, const TrackField& field, std::string_view value) {
  if (field.kind == FieldKind::Name) {
    if (value.empty()) return Problem{definitionNameEmptyReason()};
    if (value.size() > kMaxTextBytes) return Problem{definitionNameTooLongReason()};
    if (value.find_first_of("\t\r\n") != std::string_view::npos)
      return Problem{definitionNameUnsavableReason()};
    if (!isSafeFileName(value)) return Problem{definitionNameNotAFileNameReason()};
    edit.text = value;
    return edit;
  }
  const std::optional<int32_t> number = wholeNumber(value);
  if (!number || *number < field.smallest || *number > field.largest)
    return Problem{fieldRangeReason(std::string(field.name), field.smallest, field.largest)};
  edit.number = *number;
  return edit;
}

// The field names --set accepts, separated by ", ".
std::string rowEditFieldNames() {
  std::string names;
  for (const TrackField& field : trackSettingsFields()) {
    if (!names.empty()) names += ", ";
    names += field.name;
  }
  return names;
}

}  // namespace

Result<RowEdit> parseRowEdit(std::string_view text) {
  const Message given = rowEditGiven(std::string(text));
  const std::size_t colon = text.find(':');
  const std::size_t equals = text.find('=');
  if (colon == std::string_view::npos || equals == std::string_view::npos || equals < colon)
    return Problem{given + rowEditShapeReason()};
  const std::optional<int32_t> row = wholeNumber(text.substr(0, colon));
  if (!row) return Problem{given + rowEditRowReason()};
  const std::string_view name = text.substr(colon + 1, equals - colon - 1);
  const TrackField* field = findTrackField(name);
  if (!field) return Problem{given + rowEditUnknownFieldReason(std::string(name), rowEditFieldNames())};
  RowEdit edit;
  edit.row = *row;
  edit.field = field;
  Result<RowEdit> edited = withValue(edit, *field, text.substr(equals + 1));
  if (!edited) return Problem{given + edited.problem().message};
  return edited;
}

void applyRowEdit(const RowEdit& edit, TrackSettings& settings) {
  const TrackField& field = *edit.field;
  if (field.kind == FieldKind::Name)
    settings.*field.text = edit.text;
  else
    setNumber(field, settings, edit.number);
}

}  // namespace rendlow
