#pragma once

#include <ostream>
#include <string>

namespace rendlow {

// Where the engine's progress lines go: the reader's "Read Track" lines, the "NoteOn" lines, the
// writer's hex dump. The desktop program points it at standard output; the command line leaves
// it silent unless asked. Formatting is skipped entirely while silent, which matters on long songs.
class Diagnostics {
public:
  explicit Diagnostics(std::ostream* out = nullptr) : out_(out) {}

  void print(const char* format, ...) __attribute__((format(printf, 2, 3)));

private:
  std::ostream* out_;
  std::string line_;  // reused, so a long dump does not allocate per line
};

}  // namespace rendlow
