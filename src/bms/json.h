#pragma once

// A JSON document as read, to be changed in a few places and written back: members keep their
// order, numbers keep the text they were written with and strings the text between their quotes
// (escapes and all), so whatever is not changed comes out as it went in.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rendlow {

struct JsonMember;

struct JsonValue {
  enum class Kind { Null, False, True, Number, String, Array, Object };

  Kind kind = Kind::Null;
  std::string text;                 // a number as written; a string as written between its quotes
  std::vector<JsonValue> items;     // an array's elements
  std::vector<JsonMember> members;  // an object's members, in their order

  bool isObject() const { return kind == Kind::Object; }
  bool isArray() const { return kind == Kind::Array; }
  // The member named `key` (as written, without its quotes), or null.
  const JsonValue* member(std::string_view key) const;
  JsonValue* member(std::string_view key);
  bool operator==(const JsonValue& other) const;
};

struct JsonMember {
  std::string key;  // as written between its quotes
  JsonValue value;

  bool operator==(const JsonMember& other) const;
};

// What a chart of ours can hold: a deeper or larger document is not one.
inline constexpr int kMaxJsonDepth = 64;
inline constexpr std::size_t kMaxJsonBytes = std::size_t{256} << 20;

// The document `text` holds (a UTF-8 byte order mark before it is passed over); nothing when it is
// not valid JSON, or too deep or too large.
std::optional<JsonValue> parseJson(std::string_view text);

// The document as text: an object or array holding only numbers, strings, literals and empty
// containers on one line when it is an array's element or holds only empty containers, any other
// over several lines, indented by two spaces a level; a line feed at the end.
std::string formatJson(const JsonValue& value);

// A string value's text, its escapes decoded to UTF-8; nothing for a value that is not a string.
std::optional<std::string> jsonStringText(const JsonValue& value);

// A number value as a double; nothing for a value that is not a number.
std::optional<double> jsonNumber(const JsonValue& value);

// A number value that is a whole number, as an integer; nothing for any other value.
std::optional<long long> jsonInteger(const JsonValue& value);

}  // namespace rendlow
