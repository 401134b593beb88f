// The engine's only Windows-specific file: the code page's lead-byte test and the atomic
// replacement of a file, through the ANSI calls so paths stay in the system code page.
#include <windows.h>

#include "core/platform.h"

namespace rendlow {

bool isLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != 0; }

bool replaceFile(const std::string& from, const std::string& to) {
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace rendlow
