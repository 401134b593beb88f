#pragma once

#include <optional>
#include <string>

#include "ui/win32.h"

namespace rendlow::ui {

// The first file of a drop, at most 511 bytes, and the drop released; empty when the drop holds
// no file.
std::optional<std::string> takeFirstDroppedFile(HDROP drop);

}  // namespace rendlow::ui
