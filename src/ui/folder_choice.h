#pragma once

#include <optional>
#include <string>

#include "ui/win32.h"

namespace rendlow::ui {

// Asks the user for the folder of the stems with the folder dialog, owned by `owner`. Its file
// name box takes a typed path as well as a click. Empty when the user cancels or the dialog fails.
std::optional<std::wstring> askForStemsFolder(HWND owner);

}  // namespace rendlow::ui
