#include "app/row_edit.h"

#include <algorithm>
#include <charconv>
#include <optional>

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

// Why `value` cannot go into `field`; nothing when it can.
std::optional<Message> valueProblem(const TrackField& field, std::string_view value, RowEdit& edit) {
  if (field.kind == FieldKind::Name) {
    if (value.empty()) return Message("定義名が空です", "the definition name is empty");
    if (value.size() > kMaxTextBytes)
      return Message("定義名が 511 バイトを超えます", "the definition name is longer than 511 bytes");
    if (value.find_first_of("\t\r\n") != std::string_view::npos)
      return Message("定義名にタブか改行があり、設定ファイルに保存できません",
                     "the definition name holds a TAB or a line break, which the settings file cannot keep");
    edit.text = value;
    return std::nullopt;
  }
  const std::optional<int32_t> number = wholeNumber(value);
  if (!number || *number < field.smallest || *number > field.largest) {
    const std::string name(field.name);
    const std::string smallest = std::to_string(field.smallest);
    const std::string largest = std::to_string(field.largest);
    return Message(name + " には " + smallest + " - " + largest + " の整数を指定してください",
                   name + " takes a whole number from " + smallest + " to " + largest);
  }
  edit.number = *number;
  return std::nullopt;
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
  const Message given = Message::verbatim("--set \"" + std::string(text) + "\": ");
  const std::size_t colon = text.find(':');
  const std::size_t equals = text.find('=');
  if (colon == std::string_view::npos || equals == std::string_view::npos || equals < colon)
    return Problem{given + Message("行:フィールド=値 の形で指定してください", "expected ROW:FIELD=VALUE")};
  const std::optional<int32_t> row = wholeNumber(text.substr(0, colon));
  if (!row) return Problem{given + Message("行は 0 から数えた整数です", "the row is a whole number from 0")};
  const std::string_view name = text.substr(colon + 1, equals - colon - 1);
  const TrackField* field = findTrackField(name);
  if (!field) {
    const std::string known = rowEditFieldNames();
    return Problem{given + Message("フィールド \"" + std::string(name) + "\" はありません (" + known + ")",
                                   "unknown field \"" + std::string(name) + "\" (fields: " + known + ")")};
  }
  RowEdit edit;
  edit.row = *row;
  edit.field = field;
  if (const auto problem = valueProblem(*field, text.substr(equals + 1), edit))
    return Problem{given + *problem};
  return edit;
}

void applyRowEdit(const RowEdit& edit, TrackSettings& settings) {
  const TrackField& field = *edit.field;
  if (field.kind == FieldKind::Name)
    settings.*field.text = edit.text;
  else
    setNumber(field, settings, edit.number);
}

}  // namespace rendlow
