#include "bms/json.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <utility>

namespace rendlow {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isHexDigit(char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// Reads one document by recursive descent, each container one level deeper.
class JsonReader {
public:
  explicit JsonReader(std::string_view text) : text_(text) {}

  std::optional<JsonValue> document() {
    std::optional<JsonValue> value = valueAt(0);
    skipBlanks();
    if (!value || at_ != text_.size()) return std::nullopt;
    return value;
  }

private:
  void skipBlanks() {
    while (at_ < text_.size() &&
           (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' || text_[at_] == '\r'))
      ++at_;
  }

  bool take(char c) {
    skipBlanks();
    if (at_ >= text_.size() || text_[at_] != c) return false;
    ++at_;
    return true;
  }

  bool takeWord(std::string_view word) {
    if (text_.substr(at_, word.size()) != word) return false;
    at_ += word.size();
    return true;
  }

  std::optional<JsonValue> valueAt(int depth) {
    if (depth >= kMaxJsonDepth) return std::nullopt;
    skipBlanks();
    if (at_ >= text_.size()) return std::nullopt;
    JsonValue value;
    switch (text_[at_]) {
      case '{':
        return objectAt(depth);
      case '[':
        return arrayAt(depth);
      case '"':
        value.kind = JsonValue::Kind::String;
        if (!stringText(value.text)) return std::nullopt;
        return value;
      case 't':
        value.kind = JsonValue::Kind::True;
        return takeWord("true") ? std::optional(value) : std::nullopt;
      case 'f':
        value.kind = JsonValue::Kind::False;
        return takeWord("false") ? std::optional(value) : std::nullopt;
      case 'n':
        return takeWord("null") ? std::optional(value) : std::nullopt;
      default:
        value.kind = JsonValue::Kind::Number;
        if (!numberText(value.text)) return std::nullopt;
        return value;
    }
  }

  std::optional<JsonValue> objectAt(int depth) {
    ++at_;
    JsonValue object;
    object.kind = JsonValue::Kind::Object;
    if (take('}')) return object;
    do {
      JsonMember member;
      skipBlanks();
      if (at_ >= text_.size() || text_[at_] != '"' || !stringText(member.key) || !take(':'))
        return std::nullopt;
      std::optional<JsonValue> value = valueAt(depth + 1);
      if (!value) return std::nullopt;
      member.value = std::move(*value);
      object.members.push_back(std::move(member));
    } while (take(','));
    return take('}') ? std::optional(std::move(object)) : std::nullopt;
  }

  std::optional<JsonValue> arrayAt(int depth) {
    ++at_;
    JsonValue array;
    array.kind = JsonValue::Kind::Array;
    if (take(']')) return array;
    do {
      std::optional<JsonValue> value = valueAt(depth + 1);
      if (!value) return std::nullopt;
      array.items.push_back(std::move(*value));
    } while (take(','));
    return take(']') ? std::optional(std::move(array)) : std::nullopt;
  }

  // The text between a string's quotes, checked: no control characters, only known escapes.
  bool stringText(std::string& text) {
    const std::size_t start = ++at_;
    while (at_ < text_.size() && text_[at_] != '"') {
      const auto byte = static_cast<unsigned char>(text_[at_]);
      if (byte < 0x20) return false;
      if (text_[at_] == '\\' && !escapeAt(at_ + 1)) return false;
      at_ += text_[at_] == '\\' ? (text_[at_ + 1] == 'u' ? 6 : 2) : 1;
    }
    if (at_ >= text_.size()) return false;
    text = std::string(text_.substr(start, at_ - start));
    ++at_;
    return true;
  }

  bool escapeAt(std::size_t at) const {
    if (at >= text_.size()) return false;
    if (std::string_view("\"\\/bfnrt").find(text_[at]) != std::string_view::npos) return true;
    if (text_[at] != 'u' || at + 5 > text_.size()) return false;
    for (std::size_t i = at + 1; i < at + 5; ++i)
      if (!isHexDigit(text_[i])) return false;
    return true;
  }

  // -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?
  bool numberText(std::string& text) {
    const std::size_t start = at_;
    if (at_ < text_.size() && text_[at_] == '-') ++at_;
    if (at_ < text_.size() && text_[at_] == '0')
      ++at_;
    else if (!digits())
      return false;
    if (at_ < text_.size() && text_[at_] == '.' && (++at_, !digits())) return false;
    if (at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
      ++at_;
      if (at_ < text_.size() && (text_[at_] == '+' || text_[at_] == '-')) ++at_;
      if (!digits()) return false;
    }
    text = std::string(text_.substr(start, at_ - start));
    return true;
  }

  bool digits() {
    const std::size_t start = at_;
    while (at_ < text_.size() && isDigit(text_[at_])) ++at_;
    return at_ > start;
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

bool isScalar(const JsonValue& value) {
  return value.kind != JsonValue::Kind::Array && value.kind != JsonValue::Kind::Object;
}

bool isEmptyContainer(const JsonValue& value) {
  return (value.isArray() && value.items.empty()) || (value.isObject() && value.members.empty());
}

class JsonWriter {
public:
  std::string text(const JsonValue& value) {
    write(value, 0, false);
    out_ += '\n';
    return std::move(out_);
  }

private:
  void write(const JsonValue& value, int indent, bool inArray) {
    switch (value.kind) {
      case JsonValue::Kind::Null:
        out_ += "null";
        return;
      case JsonValue::Kind::False:
        out_ += "false";
        return;
      case JsonValue::Kind::True:
        out_ += "true";
        return;
      case JsonValue::Kind::Number:
        out_ += value.text;
        return;
      case JsonValue::Kind::String:
        writeString(value.text);
        return;
      case JsonValue::Kind::Array:
      case JsonValue::Kind::Object:
        writeContainer(value, indent, inArray);
        return;
    }
  }

  void writeString(const std::string& text) {
    out_ += '"';
    out_ += text;
    out_ += '"';
  }

  // One line for a container of scalars in an array (a note, a bar line) or of empty containers
  // only; the lines of any other stand one element to a line.
  void writeContainer(const JsonValue& value, int indent, bool inArray) {
    const bool object = value.isObject();
    const std::size_t count = object ? value.members.size() : value.items.size();
    bool allScalar = true;
    bool allEmpty = true;
    for (std::size_t i = 0; i < count; ++i) {
      const JsonValue& element = object ? value.members[i].value : value.items[i];
      allScalar = allScalar && (isScalar(element) || isEmptyContainer(element));
      allEmpty = allEmpty && isEmptyContainer(element);
    }
    const bool oneLine = count == 0 || (allScalar && inArray) || allEmpty;
    const std::string inner = oneLine ? "" : "\n" + std::string(static_cast<std::size_t>(indent) + 2, ' ');
    out_ += object ? '{' : '[';
    for (std::size_t i = 0; i < count; ++i) {
      if (i > 0) out_ += oneLine ? ", " : ",";
      out_ += inner;
      if (object) {
        writeString(value.members[i].key);
        out_ += ": ";
      }
      write(object ? value.members[i].value : value.items[i], indent + 2, !object);
    }
    if (!oneLine) out_ += "\n" + std::string(static_cast<std::size_t>(indent), ' ');
    out_ += object ? '}' : ']';
  }

  std::string out_;
};

void appendUtf8(char32_t code, std::string& out) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

char32_t hexCode(std::string_view text, std::size_t at) {
  uint32_t code = 0;
  std::from_chars(text.data() + at, text.data() + at + 4, code, 16);
  return static_cast<char32_t>(code);
}

char decodedEscape(char escape) {
  switch (escape) {
    case 'b':
      return '\b';
    case 'f':
      return '\f';
    case 'n':
      return '\n';
    case 'r':
      return '\r';
    case 't':
      return '\t';
    default:
      return escape;
  }
}

}  // namespace

const JsonValue* JsonValue::member(std::string_view key) const {
  for (const JsonMember& m : members)
    if (m.key == key) return &m.value;
  return nullptr;
}

JsonValue* JsonValue::member(std::string_view key) {
  return const_cast<JsonValue*>(std::as_const(*this).member(key));
}

bool JsonValue::operator==(const JsonValue& other) const {
  return kind == other.kind && text == other.text && items == other.items && members == other.members;
}

bool JsonMember::operator==(const JsonMember& other) const {
  return key == other.key && value == other.value;
}

std::optional<JsonValue> parseJson(std::string_view text) {
  if (text.size() > kMaxJsonBytes) return std::nullopt;
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  return JsonReader(text).document();
}

std::string formatJson(const JsonValue& value) { return JsonWriter().text(value); }

std::optional<std::string> jsonStringText(const JsonValue& value) {
  if (value.kind != JsonValue::Kind::String) return std::nullopt;
  const std::string_view text = value.text;
  std::string decoded;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      decoded += text[i];
    } else if (text[++i] != 'u') {
      decoded += decodedEscape(text[i]);
    } else {
      char32_t code = hexCode(text, i + 1);
      i += 4;
      // A pair of surrogates is one character; a lone one is none.
      const bool high = code >= 0xD800 && code < 0xDC00;
      if (high && text.substr(i + 1, 2) == "\\u" && i + 7 <= text.size()) {
        const char32_t low = hexCode(text, i + 3);
        if (low >= 0xDC00 && low < 0xE000) {
          code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
          i += 6;
        }
      }
      appendUtf8(code >= 0xD800 && code < 0xE000 ? char32_t{0xFFFD} : code, decoded);
    }
  }
  return decoded;
}

std::optional<double> jsonNumber(const JsonValue& value) {
  if (value.kind != JsonValue::Kind::Number) return std::nullopt;
  return std::strtod(value.text.c_str(), nullptr);
}

std::optional<long long> jsonInteger(const JsonValue& value) {
  const std::optional<double> number = jsonNumber(value);
  // Beyond 2^53 a double holds no longer every whole number.
  if (!number || !std::isfinite(*number) || std::floor(*number) != *number || std::fabs(*number) > 9.0e15)
    return std::nullopt;
  return static_cast<long long>(*number);
}

}  // namespace rendlow
