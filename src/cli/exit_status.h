#pragma once

namespace rendlow::cli {

// The exit statuses of rendlow-cli.
inline constexpr int kExitOk = 0;
inline constexpr int kExitInputFailed = 1;  // an input file cannot be opened or read
inline constexpr int kExitUsage = 2;        // the command line itself is wrong

}  // namespace rendlow::cli
