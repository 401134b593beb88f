#pragma once

#include <optional>
#include <string>
#include <string_view>

// The program's texts are code page 932 (Shift_JIS) everywhere: that is what charts, settings
// files and songs hold, and what the desktop program speaks. The system around the program may
// speak another encoding: on Windows the ANSI code page is 932 and nothing is converted; on other
// systems the locale's encoding (nl_langinfo(CODESET)) is the terminal's and the file names'.
// A locale of plain ASCII (the C and POSIX locales) is taken as UTF-8, as current tools do, so
// that a run without LANG behaves like any other.
namespace rendlow {

// A text of the program in the system's encoding; nothing when it is not valid code page 932 or
// the system's encoding cannot hold one of its characters.
std::optional<std::string> toSystemText(std::string_view programText);

// A text of the system in code page 932; nothing when 932 cannot hold one of its characters or
// it is not valid in the system's encoding.
std::optional<std::string> toProgramText(std::string_view systemText);

// A text of the program for the user's eyes, in the system's encoding: each byte that is not
// code page 932 (a Latin-1 or UTF-8 name from a Western sequencer), or whose character the
// system cannot show, appears as "\xNN".
std::string printableText(std::string_view programText);

// A text of the system in code page 932 for a message about it: each character 932 cannot hold
// appears as "<U+XXXX>", each byte that is no character of the system's encoding as "\xNN".
std::string describedInProgramText(std::string_view systemText);

}  // namespace rendlow
