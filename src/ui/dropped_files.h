#pragma once

#include <shellapi.h>
#include <windows.h>

#include <optional>
#include <string>

namespace rendlow::ui {

// The first file of a drop, at most 511 bytes, and the drop released; empty when the drop holds
// no file.
std::optional<std::string> takeFirstDroppedFile(HDROP drop);

}  // namespace rendlow::ui
