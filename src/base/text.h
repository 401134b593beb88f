#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace rendlow {

// Every text the system stores (paths, names, header texts, box contents) holds at most this
// many bytes of the system code page: a settings file line, a box and a name each travel in a
// buffer of 512 bytes with its terminating NUL, so a longer text could not come back whole.
inline constexpr std::size_t kMaxTextBytes = 511;

// A text taken from outside (a file, a box): it ends at its first NUL byte and is cut at exactly
// kMaxTextBytes bytes, even inside a multibyte character, as a 512-byte buffer would cut it.
std::string boundedText(std::string_view text);

// A text made for display only (a caption of joined names): cut so that it fits kMaxTextBytes
// without splitting a character of the system code page.
std::string displayText(std::string_view text);

// Position of the last occurrence of `ch`, searched as multibyte text of the system code page
// (a trail byte that happens to equal `ch` is not a match); npos when there is none.
std::size_t findLastChar(std::string_view text, char ch);

// `text` with its letters "A"-"Z" in lower case: two names are alike letter case aside, as
// Windows compares file names, when their folded forms are equal. The second byte of a
// double-byte character (see isLeadByte) is part of that character, not a letter, and stays as
// it is even where it falls in "A"-"Z".
std::string caseFolded(std::string_view text);

}  // namespace rendlow
