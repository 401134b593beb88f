#pragma once

#include <optional>
#include <string>

#include "ui/win32.h"

namespace rendlow::ui {

// The first file of a drop, and the drop released; nothing when the drop holds no file.
std::optional<std::wstring> takeFirstDroppedFile(HDROP drop);

}  // namespace rendlow::ui
