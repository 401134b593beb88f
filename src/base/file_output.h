#pragma once

#include <string>
#include <string_view>

namespace rendlow {

// The outcome of writing a file: on failure, why, in words a user can act on.
struct WriteStatus {
  bool ok = true;
  std::string reason;

  explicit operator bool() const { return ok; }
  static WriteStatus failed(std::string why) { return {false, std::move(why)}; }
};

enum class FileMode { Binary, Text };

// Writes `contents` to a temporary file beside `path`, then moves it over `path` in one step, so
// a failed write never destroys the file that was there. In Text mode every "\n" becomes the
// platform's line end (CR LF on Windows).
WriteStatus writeFileAtomically(const std::string& path, std::string_view contents, FileMode mode);

}  // namespace rendlow
