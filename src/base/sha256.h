#pragma once

// The SHA-256 digest (FIPS 180-4), for knowing a file again by its bytes: the settings file keeps
// the digest of the chart it was written with, so a chart changed since is known for the author's.

#include <string>
#include <string_view>

namespace rendlow {

// The digest of `bytes` as 64 lower-case hexadecimal digits.
std::string sha256Hex(std::string_view bytes);

}  // namespace rendlow
