#pragma once

#include <optional>
#include <string>

#include "ui/win32.h"

namespace rendlow::ui {

// Asks the user for the folder of the stems with the folder dialog, owned by `owner`, which opens
// in `startFolder` (the song's, where stems usually lie) when there is one. Its file name box
// takes a typed path, absolute or from that folder, as well as a click. Empty when the user
// cancels or the dialog fails.
std::optional<std::wstring> askForStemsFolder(HWND owner, const std::wstring& startFolder);

}  // namespace rendlow::ui
