#include "app/track_line.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>

#include "base/messages_fields.h"
#include "base/text.h"
#include "slicer/track_fields.h"

namespace rendlow {

namespace {

// The last field of the oldest line still read: every line ever saved holds it, so only the
// fields after it may be missing.
constexpr std::string_view kLastFieldOfOldestLine = "wavDefinitionGap";

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The value of a whole number, kept within one past the 32-bit range so that a run of any number
// of digits can neither overflow nor be taken for a small value; nothing when the text is not one.
std::optional<int64_t> wholeNumber(std::string_view text) {
  const bool negative = !text.empty() && text.front() == '-';
  if (negative) text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  constexpr int64_t kCap = int64_t{std::numeric_limits<int32_t>::max()} + 2;
  int64_t magnitude = 0;
  for (const char c : text) {
    if (!isDigit(c)) return std::nullopt;
    magnitude = std::min(kCap, magnitude * 10 + (c - '0'));
  }
  return negative ? -magnitude : magnitude;
}

// Puts one field's text into the record, or says why it cannot go there.
std::optional<RefusedField> readField(const TrackField& field, std::string_view text, TrackSettings& record) {
  RefusedField refused{field.name, FieldFault::Empty, std::string(text), field.smallest, field.largest};
  if (text.empty()) return refused;
  if (field.kind == FieldKind::Name) {
    record.*field.text = boundedText(text);
    return std::nullopt;
  }
  const std::optional<int64_t> number = wholeNumber(text);
  if (!number) {
    refused.fault = FieldFault::NotWholeNumber;
    return refused;
  }
  if (*number < field.smallest || *number > field.largest) {
    refused.fault = FieldFault::OutOfRange;
    return refused;
  }
  setNumber(field, record, static_cast<int32_t>(*number));
  return std::nullopt;
}

// The text up to the next TAB, taken off the front of `rest`.
std::string_view nextField(std::string_view& rest) {
  const std::size_t tab = rest.find('\t');
  const std::string_view field = rest.substr(0, tab);
  rest.remove_prefix(tab == std::string_view::npos ? rest.size() : tab + 1);
  return field;
}

}  // namespace

std::string formatTrackFields(std::string_view trackName, const TrackSettings& settings) {
  std::string line(trackName);
  for (const TrackField* field : fieldsInPlaceOrder(&TrackField::linePlace)) {
    line += '\t';
    line +=
        field->kind == FieldKind::Name ? settings.*field->text : std::to_string(numberOf(*field, settings));
  }
  return line;
}

Result<TrackSettings> readTrackFields(std::string_view fields, std::size_t lineNumber) {
  TrackSettings record;
  std::string_view rest = fields;
  bool ended = rest.find('\t') == std::string_view::npos;
  record.trackName = boundedText(nextField(rest));
  bool mayEnd = false;
  for (const TrackField* field : fieldsInPlaceOrder(&TrackField::linePlace)) {
    if (ended && mayEnd) break;
    if (ended)
      return Problem{settingsFieldRefusedReason(
          lineNumber, {field->name, FieldFault::Missing, {}, field->smallest, field->largest})};
    ended = rest.find('\t') == std::string_view::npos;
    if (const std::optional<RefusedField> refused = readField(*field, nextField(rest), record))
      return Problem{settingsFieldRefusedReason(lineNumber, *refused)};
    mayEnd = mayEnd || field->name == kLastFieldOfOldestLine;
  }
  return record;
}

}  // namespace rendlow
