#include "cli/row_edit.h"

#include <array>
#include <charconv>

#include "core/text.h"

namespace rendlow::cli {

namespace {

enum class Kind { Text, Number, SplitMethod, Flag };

struct Field {
  std::string_view name;
  Kind kind;
  void (*set)(TrackSettings& record, const RowEdit& edit);
};

constexpr std::array kFields = {
    Field{"definitionName", Kind::Text,
          [](TrackSettings& r, const RowEdit& e) { r.definitionName = e.text; }},
    Field{"velocitySplitWidth", Kind::Number,
          [](TrackSettings& r, const RowEdit& e) { r.velocitySplitWidth = e.number; }},
    Field{"ccSplitWidth", Kind::Number,
          [](TrackSettings& r, const RowEdit& e) { r.ccSplitWidth = e.number; }},
    Field{"noteInterval", Kind::Number,
          [](TrackSettings& r, const RowEdit& e) { r.noteInterval = e.number; }},
    Field{"gridUnit", Kind::Number, [](TrackSettings& r, const RowEdit& e) { r.gridUnit = e.number; }},
    Field{"multipleThreshold", Kind::Number,
          [](TrackSettings& r, const RowEdit& e) { r.multipleThreshold = e.number; }},
    Field{"ccInterval", Kind::Number, [](TrackSettings& r, const RowEdit& e) { r.ccInterval = e.number; }},
    Field{"splitMethod", Kind::SplitMethod,
          [](TrackSettings& r, const RowEdit& e) { r.splitMethod = e.number; }},
    Field{"ignoreBpm", Kind::Flag, [](TrackSettings& r, const RowEdit& e) { r.ignoreBpm = e.number != 0; }},
    Field{"wavDefinitionGap", Kind::Number,
          [](TrackSettings& r, const RowEdit& e) { r.wavDefinitionGap = e.number; }},
    Field{"enabled", Kind::Flag, [](TrackSettings& r, const RowEdit& e) { r.enabled = e.number != 0; }},
};

const Field* findField(std::string_view name) {
  for (const Field& field : kFields) {
    if (field.name == name) return &field;
  }
  return nullptr;
}

bool parseCount(std::string_view text, int32_t& value) {
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  return !text.empty() && error == std::errc() && stop == end && value >= 0;
}

std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::string parseValue(const Field& field, std::string_view value, RowEdit& edit) {
  const std::string what = "--set " + std::string(field.name) + ": ";
  switch (field.kind) {
    case Kind::Text:
      if (value.empty()) return what + "the name is empty";
      edit.text = boundedText(value);
      return {};
    case Kind::Number:
      if (!parseCount(value, edit.number)) return what + quoted(value) + " is not a number of 0 or more";
      return {};
    case Kind::SplitMethod:
      if (!parseCount(value, edit.number) || edit.number > 2) {
        return what + quoted(value) + " is not 0 (single), 1 (chord) or 2 (legato)";
      }
      return {};
    case Kind::Flag:
      if (value != "0" && value != "1") return what + quoted(value) + " is not 0 or 1";
      edit.number = value == "1" ? 1 : 0;
      return {};
  }
  return {};
}

}  // namespace

std::string parseRowEdit(std::string_view argument, RowEdit& edit) {
  const std::size_t colon = argument.find(':');
  const std::size_t equals = argument.find('=', colon == std::string_view::npos ? 0 : colon);
  if (colon == std::string_view::npos || equals == std::string_view::npos) {
    return "--set " + quoted(argument) + " is not ROW:FIELD=VALUE";
  }
  int32_t row = 0;
  if (!parseCount(argument.substr(0, colon), row)) {
    return "--set " + quoted(argument) + ": " + quoted(argument.substr(0, colon)) + " is not a row number";
  }
  const std::string_view name = argument.substr(colon + 1, equals - colon - 1);
  const Field* field = findField(name);
  if (!field)
    return "--set " + quoted(argument) + ": no field " + quoted(name) + " (" +
           std::string(rowEditFieldNames()) + ")";
  edit.row = row;
  edit.field = std::string(name);
  return parseValue(*field, argument.substr(equals + 1), edit);
}

TrackSettings editRecord(const RowEdit& edit, const TrackSettings& row) {
  TrackSettings record;
  record.velocitySplitWidth = record.ccSplitWidth = record.noteInterval = record.gridUnit = -1;
  record.multipleThreshold = record.ccInterval = record.wavDefinitionGap = -1;
  record.splitMethod = -1;
  record.ignoreBpm = row.ignoreBpm;
  record.enabled = row.enabled;
  if (const Field* field = findField(edit.field)) field->set(record, edit);
  return record;
}

std::string_view rowEditFieldNames() {
  return "definitionName, velocitySplitWidth, ccSplitWidth, noteInterval, gridUnit, multipleThreshold, "
         "ccInterval, splitMethod, ignoreBpm, wavDefinitionGap, enabled";
}

}  // namespace rendlow::cli
