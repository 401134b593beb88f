#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "ui/win32.h"

namespace rendlow::ui {

// Asks the user for a MIDI or settings file with the open-file dialog, owned by `owner`.
// Empty when the user cancels or the dialog fails.
std::optional<std::string> askForSongFile(HWND owner);

// True for a name whose extension (the text from its last ".", at most four bytes of it) is
// ".mid" or ".txt" in any mix of cases. Only four bytes are compared, so ".midi" counts too.
bool hasSongFileExtension(std::string_view name);

// The first file of a drop on the track table when it is a song file; the drop is released.
std::optional<std::string> takeDroppedSongFile(HDROP drop);

}  // namespace rendlow::ui
