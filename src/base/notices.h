#pragma once

#include <utility>
#include <vector>

#include "base/message.h"

namespace rendlow {

// What the author must read about a job whose files stand: damage read past, a re-timing that did
// not settle, a stem that starts late, a silent sound. One list, in the order the author is told,
// whatever the front end. A file that could not be written is never a notice: it is the problem
// of a result, or the status of that file.
struct Notice {
  Message message;
};

using Notices = std::vector<Notice>;

inline Notice warningNotice(Message message) { return {std::move(message)}; }

}  // namespace rendlow
