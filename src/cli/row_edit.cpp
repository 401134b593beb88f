#include "cli/row_edit.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>

#include "base/text.h"

namespace rendlow::cli {

enum class FieldKind { Name, Number, SplitMethod, Flag };

struct FieldSpec {
  std::string_view name;
  FieldKind kind;
  int32_t TrackSettings::*number;
  bool TrackSettings::*flag;
};

namespace {

constexpr std::array kFields = {
    FieldSpec{"definitionName", FieldKind::Name, nullptr, nullptr},
    FieldSpec{"velocitySplitWidth", FieldKind::Number, &TrackSettings::velocitySplitWidth, nullptr},
    FieldSpec{"ccSplitWidth", FieldKind::Number, &TrackSettings::ccSplitWidth, nullptr},
    FieldSpec{"noteInterval", FieldKind::Number, &TrackSettings::noteInterval, nullptr},
    FieldSpec{"gridUnit", FieldKind::Number, &TrackSettings::gridUnit, nullptr},
    FieldSpec{"multipleThreshold", FieldKind::Number, &TrackSettings::multipleThreshold, nullptr},
    FieldSpec{"ccInterval", FieldKind::Number, &TrackSettings::ccInterval, nullptr},
    FieldSpec{"splitMethod", FieldKind::SplitMethod, &TrackSettings::splitMethod, nullptr},
    FieldSpec{"ignoreBpm", FieldKind::Flag, nullptr, &TrackSettings::ignoreBpm},
    FieldSpec{"wavDefinitionGap", FieldKind::Number, &TrackSettings::wavDefinitionGap, nullptr},
    FieldSpec{"enabled", FieldKind::Flag, nullptr, &TrackSettings::enabled},
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

// Why `value` cannot go into `field`; empty when it can.
std::string valueProblem(const FieldSpec& field, std::string_view value, RowEdit& edit) {
  if (field.kind == FieldKind::Name) {
    if (value.empty()) return "the definition name is empty";
    if (value.size() > kMaxTextBytes) return "the definition name is longer than 511 bytes";
    if (value.find_first_of("\t\r\n") != std::string_view::npos)
      return "the definition name holds a TAB or a line break, which the settings file cannot keep";
    edit.text = value;
    return {};
  }
  const std::optional<int32_t> number = wholeNumber(value);
  const int32_t largest = field.kind == FieldKind::Flag          ? 1
                          : field.kind == FieldKind::SplitMethod ? 2
                                                                 : std::numeric_limits<int32_t>::max();
  if (!number || *number > largest) {
    return std::string(field.name) + " takes a whole number from 0 to " + std::to_string(largest);
  }
  edit.number = *number;
  return {};
}

}  // namespace

std::optional<RowEdit> parseRowEdit(std::string_view text, std::string& error) {
  const std::string given = "--set \"" + std::string(text) + "\": ";
  const std::size_t colon = text.find(':');
  const std::size_t equals = text.find('=');
  if (colon == std::string_view::npos || equals == std::string_view::npos || equals < colon) {
    error = given + "expected ROW:FIELD=VALUE";
    return std::nullopt;
  }
  const std::optional<int32_t> row = wholeNumber(text.substr(0, colon));
  if (!row) {
    error = given + "the row is a whole number from 0";
    return std::nullopt;
  }
  const std::string_view name = text.substr(colon + 1, equals - colon - 1);
  const auto field =
      std::find_if(kFields.begin(), kFields.end(), [name](const FieldSpec& f) { return f.name == name; });
  if (field == kFields.end()) {
    error = given + "unknown field \"" + std::string(name) + "\" (fields: " + rowEditFieldNames() + ")";
    return std::nullopt;
  }
  RowEdit edit;
  edit.row = *row;
  edit.field = &*field;
  const std::string problem = valueProblem(*field, text.substr(equals + 1), edit);
  if (!problem.empty()) {
    error = given + problem;
    return std::nullopt;
  }
  return edit;
}

void applyRowEdit(const RowEdit& edit, TrackSettings& settings) {
  const FieldSpec& field = *edit.field;
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

std::string rowEditFieldNames() {
  std::string names;
  for (const FieldSpec& field : kFields) {
    if (!names.empty()) names += ", ";
    names += field.name;
  }
  return names;
}

}  // namespace rendlow::cli
