#pragma once

#include <iconv.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace rendlow {

// One iconv conversion, closed when it goes. Only the portable build has iconv; the Windows
// build converts with the system's own calls.
class IconvConversion {
public:
  IconvConversion(const std::string& to, const std::string& from);
  ~IconvConversion();
  IconvConversion(const IconvConversion&) = delete;
  IconvConversion& operator=(const IconvConversion&) = delete;

  // False when the C library cannot convert between the two encodings.
  bool opened() const;

  // Converts `in` onto the end of `out` as far as it goes; `in` keeps what is left from the byte
  // where it stopped. True when it all went.
  bool convert(std::string_view& in, std::string& out);

  // The first character of `in` as a code point, when the conversion is to UTF-32BE; how many
  // bytes of `in` it took. Zero bytes when `in` does not start with a character.
  std::pair<char32_t, std::size_t> firstCodePoint(std::string_view in);

private:
  iconv_t handle_;
};

}  // namespace rendlow
