#pragma once

// Pieces the catalogue's files share, so that a track or a system error reads the same in every
// message. Only the catalogue uses them; callers take whole messages and reasons.

#include <cstdint>
#include <string>

#include "base/message.h"

namespace rendlow {

// A track as the user finds it in the file: its position from 1, and its name.
Message trackInFile(int32_t trackNumber, const std::string& name);

// A folder the user chose, on a line of its own.
Message folderLine(const std::string& path);

// The C library's own words for an error number, for the failures the catalogue has no words for.
Message cLibraryText(int errorNumber);

}  // namespace rendlow
