#include "base/system_text.h"

// Windows runs the program under the ANSI code page 932: its texts are the system's already.
namespace rendlow {

std::optional<std::string> toSystemText(std::string_view programText) { return std::string(programText); }

std::optional<std::string> toProgramText(std::string_view systemText) { return std::string(systemText); }

std::string printableText(std::string_view programText) { return std::string(programText); }

std::string describedInProgramText(std::string_view systemText) { return std::string(systemText); }

}  // namespace rendlow
