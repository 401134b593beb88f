#pragma once

#include "base/notices.h"

namespace rendlow::cli {

// The exit statuses of rendlow-cli.
inline constexpr int kExitOk = 0;       // everything asked was written, with nothing to warn about
inline constexpr int kExitFailed = 1;   // refused (nothing written, the settings file aside) or failed
inline constexpr int kExitUsage = 2;    // the command line itself is wrong
inline constexpr int kExitWarning = 3;  // written, with a warning the author must read

// A run stopped by an interrupt ends as a shell tells a process the signal ended: 128 and its
// number (130 for SIGINT, 143 for SIGTERM), whatever it had written before it stopped.
inline int interruptedStatus(int signal) { return 128 + signal; }

// The status of a job that wrote what it was asked: a warning when the author must read something.
inline int exitStatusOf(const Notices& warnings) { return warnings.empty() ? kExitOk : kExitWarning; }

// Of several inputs' statuses, the one the whole run ends with: a failure before a warning.
inline int worseStatus(int a, int b) {
  const auto rank = [](int status) {
    return status == kExitFailed ? 3 : status == kExitWarning ? 2 : status == kExitUsage ? 1 : 0;
  };
  return rank(a) >= rank(b) ? a : b;
}

}  // namespace rendlow::cli
