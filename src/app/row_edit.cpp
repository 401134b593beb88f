#include "app/row_edit.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <optional>

#include "base/text.h"

namespace rendlow {

namespace {

constexpr std::array kFields = {
    FieldRule{"definitionName", FieldKind::Name, nullptr, nullptr,
              "base name of the track's sound files (NAME_01.wav, ...); default tr and the row from 1"},
    FieldRule{"velocitySplitWidth", FieldKind::Number, &TrackSettings::velocitySplitWidth, nullptr,
              "notes whose velocities fall in one bucket of this width are one sound; 0: velocity "
              "ignored; default 0"},
    FieldRule{"ccSplitWidth", FieldKind::Number, &TrackSettings::ccSplitWidth, nullptr,
              "controller values in buckets of this width; 0: controllers ignored; default 0"},
    FieldRule{"noteInterval", FieldKind::Number, &TrackSettings::noteInterval, nullptr,
              "ticks of silence before each sound in the rendering MIDI file; default 960"},
    FieldRule{"gridUnit", FieldKind::Number, &TrackSettings::gridUnit, nullptr,
              "ticks; sounds start on this grid in the rendering MIDI file; 0: no grid; default 0"},
    FieldRule{"multipleThreshold", FieldKind::Number, &TrackSettings::multipleThreshold, nullptr,
              "ticks; a repeat this close to the last one gets its own #WAV id; default 0"},
    FieldRule{"ccInterval", FieldKind::Number, &TrackSettings::ccInterval, nullptr,
              "ticks between controller samples along a note; 0: its start only; default 0"},
    FieldRule{"splitMethod", FieldKind::SplitMethod, &TrackSettings::splitMethod, nullptr,
              "0 each note, 1 notes starting together (chords), 2 overlapping notes (legato); default 1"},
    FieldRule{"ignoreBpm", FieldKind::Flag, nullptr, &TrackSettings::ignoreBpm,
              "1: notes under different tempos can be one sound; default 0"},
    FieldRule{"wavDefinitionGap", FieldKind::Number, &TrackSettings::wavDefinitionGap, nullptr,
              "#WAV ids left free after the track's own; default 2"},
    FieldRule{"enabled", FieldKind::Flag, nullptr, &TrackSettings::enabled,
              "0 leaves the track out of the rendering MIDI file and the chart; default 1"},
};

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
std::optional<Message> valueProblem(const FieldRule& field, std::string_view value, RowEdit& edit) {
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
  const int32_t largest = field.kind == FieldKind::Flag          ? 1
                          : field.kind == FieldKind::SplitMethod ? 2
                                                                 : std::numeric_limits<int32_t>::max();
  if (!number || *number > largest) {
    const std::string name(field.name);
    const std::string range = "0 - " + std::to_string(largest);
    return Message(name + " には " + range + " の整数を指定してください",
                   name + " takes a whole number from 0 to " + std::to_string(largest));
  }
  edit.number = *number;
  return std::nullopt;
}

// The field names --set accepts, separated by ", ".
std::string rowEditFieldNames() {
  std::string names;
  for (const FieldRule& field : kFields) {
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
  const auto field =
      std::find_if(kFields.begin(), kFields.end(), [name](const FieldRule& f) { return f.name == name; });
  if (field == kFields.end()) {
    const std::string known = rowEditFieldNames();
    return Problem{given + Message("フィールド \"" + std::string(name) + "\" はありません (" + known + ")",
                                   "unknown field \"" + std::string(name) + "\" (fields: " + known + ")")};
  }
  RowEdit edit;
  edit.row = *row;
  edit.field = &*field;
  if (const auto problem = valueProblem(*field, text.substr(equals + 1), edit))
    return Problem{given + *problem};
  return edit;
}

void applyRowEdit(const RowEdit& edit, TrackSettings& settings) {
  const FieldRule& field = *edit.field;
  switch (field.kind) {
    case FieldKind::Name:
      settings.definitionName = edit.text;
      break;
    case FieldKind::Flag:
      settings.*field.flag = edit.number != 0;
      break;
    case FieldKind::Number:
    case FieldKind::SplitMethod:
      settings.*field.number = edit.number;
      break;
  }
}

std::span<const FieldRule> rowEditFields() { return kFields; }

}  // namespace rendlow
