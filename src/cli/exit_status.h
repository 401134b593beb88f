#pragma once

namespace rendlow::cli {

// The exit statuses of rendlow-cli.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFileFailed = 1;  // a file cannot be read or written
inline constexpr int kExitUsage = 2;       // the command line itself is wrong

}  // namespace rendlow::cli
