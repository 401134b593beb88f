#pragma once

#include <algorithm>
#include <utility>
#include <vector>

#include "base/message.h"

namespace rendlow {

// What the author must read about a job that did run: a file that could not be written, or one
// written with something to heed (damage read past, a chart left out for a limit, a re-timing
// that did not settle). One list, in the order the author is told, whatever the front end.
struct Notice {
  enum class Kind {
    Failure,  // a file asked for is not there
    Warning,  // the files stand, but the author must read this
  };
  Kind kind;
  Message message;
};

using Notices = std::vector<Notice>;

// A file that stands, with something the author must read.
inline Notice warningNotice(Message message) { return {Notice::Kind::Warning, std::move(message)}; }

inline bool hasNotice(const Notices& notices, Notice::Kind kind) {
  return std::any_of(notices.begin(), notices.end(), [kind](const Notice& n) { return n.kind == kind; });
}

}  // namespace rendlow
