#pragma once

#include "ui/control_registry.h"
#include "ui/win32.h"
#include "ui/window_info.h"

namespace rendlow::ui {

inline constexpr const char* kMainWindowClass = "Windows";
inline constexpr const char* kMainWindowTitle = "Rendlow 0.96";
inline constexpr int kApplicationIcon = 108;

// The procedure of the main window class. Group boxes call it too, with themselves as `window`,
// for the notifications, commands and dropped files of their children; it therefore finds its
// state through the top-level window. Until the registry is attached to the main window every
// message gets default handling.
LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Moves the form's frames, the track table, the output-file row and the output buttons so they
// follow the client size in `window`. Controls inside the group boxes keep their places there.
void layoutControls(const WindowInfo& window, const ControlRegistry& registry);

// The outer size that gives the main window a client area of `clientWidth` × `clientHeight`,
// by the fixed-frame arithmetic the window was always made with.
SIZE outerWindowSize(int clientWidth, int clientHeight);

// Registers the class "Windows"; true also when an earlier call already did.
bool registerMainWindowClass(HINSTANCE instance);

// Runs the thread's message loop until the quit message; returns its code.
int runMessageLoop();

}  // namespace rendlow::ui
