#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "ui/win32.h"

namespace rendlow::ui {

// Asks the user for a MIDI or settings file with the open-file dialog, owned by `owner`.
// Empty when the user cancels or the dialog fails.
std::optional<std::wstring> askForSongFile(HWND owner);

// True for a name whose extension (the text from its last ".", at most four characters of it) is
// ".mid" or ".txt" in any mix of cases. Only four characters are compared, so ".midi" counts too.
bool hasSongFileExtension(std::wstring_view name);

}  // namespace rendlow::ui
