#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "ui/win32.h"

namespace rendlow::ui {

// The main window: its size at creation, its current client size, and the handles every control
// creation needs. One per program, owned by the Shell.
struct WindowInfo {
  int32_t initialWidth = 640;
  int32_t initialHeight = 470;
  int32_t width = 640;
  int32_t height = 470;
  HINSTANCE instance = nullptr;
  HWND handle = nullptr;
  HDC deviceContext = nullptr;
  // What a file dropped on the window (or on a group box) does: the main form loads it.
  std::function<void(const std::string& path)> fileDropped;
};

}  // namespace rendlow::ui
