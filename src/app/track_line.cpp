#include "app/track_line.h"

#include <cstdint>
#include <limits>

#include "base/integer_math.h"
#include "base/text.h"
#include "slicer/track_fields.h"

namespace rendlow {

namespace {

// Walks a "tr" line's fields from left to right. Each call either consumes what it matched and
// returns true, or consumes nothing, leaves its output alone and returns false.
class FieldScanner {
public:
  explicit FieldScanner(std::string_view text) : rest_(text) {}

  bool separator() {
    if (rest_.empty() || rest_.front() != '\t') return false;
    rest_.remove_prefix(1);
    return true;
  }

  // An empty text (an unnamed track) is a text too: stopping there would lose every number after
  // it, and the track would come back with the defaults.
  bool text(std::string& out) {
    std::size_t length = rest_.find_first_of("\t\n");
    if (length == std::string_view::npos) length = rest_.size();
    if (length > kMaxTextBytes) length = kMaxTextBytes;
    out.assign(rest_.substr(0, length));
    rest_.remove_prefix(length);
    return true;
  }

  bool number(int32_t& out) {
    std::string_view s = rest_;
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    const bool negative = !s.empty() && s.front() == '-';
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) s.remove_prefix(1);
    if (s.empty() || !isDigit(s.front())) return false;

    // The magnitude is capped just past the largest one that fits, so a run of any number of
    // digits can neither overflow the accumulator nor be mistaken for a small value.
    constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    int64_t magnitude = 0;
    while (!s.empty() && isDigit(s.front())) {
      if (magnitude <= kLimit) magnitude = magnitude * 10 + (s.front() - '0');
      s.remove_prefix(1);
    }
    const int64_t value = negative ? -magnitude : magnitude;
    if (!fitsInt32(value)) return false;
    out = static_cast<int32_t>(value);
    rest_ = s;
    return true;
  }

  bool field(const TrackField& field, TrackSettings& record) {
    if (field.kind == FieldKind::Name) return text(record.*field.text);
    int32_t value = 0;
    if (!number(value)) return false;
    setNumber(field, record, value);
    return true;
  }

private:
  static bool isDigit(char c) { return c >= '0' && c <= '9'; }

  std::string_view rest_;
};

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

TrackSettings scanTrackFields(std::string_view fields) {
  TrackSettings record;
  FieldScanner scan(fields);
  scan.text(record.trackName);
  for (const TrackField* field : fieldsInPlaceOrder(&TrackField::linePlace)) {
    if (!scan.separator() || !scan.field(*field, record)) break;
  }
  return record;
}

}  // namespace rendlow
