#pragma once

// Helpers for the desktop program's tests: they create real windows (run them under Wine with a
// display) and speak to them with the messages the platform would send.

#include <gtest/gtest.h>
#include <shellapi.h>
#include <shlobj.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "ui/shell.h"

namespace rendlow::ui::test {

// Every case gets its own main window and registry. The window stays hidden: showing one makes
// Wine wait for a window manager that Xvfb does not have, two seconds a case, and a hidden window
// is created, sized and routed exactly like a shown one.
class ShellTest : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(shell.open(GetModuleHandleA(nullptr), SW_HIDE)); }

  HWND mainHandle() { return shell.window().handle; }
  ControlRegistry& registry() { return shell.registry(); }

  Shell shell;
};

// Handles the messages already queued for this thread.
inline void pumpMessages() {
  MSG message{};
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

inline std::string windowText(HWND window) {
  char buffer[1024] = {};
  GetWindowTextA(window, buffer, sizeof buffer);
  return buffer;
}

inline std::string windowClassName(HWND window) {
  char buffer[256] = {};
  GetClassNameA(window, buffer, sizeof buffer);
  return buffer;
}

// A drop of `names` as the shell hands it over: a DROPFILES header followed by the names, each
// ending in NUL, and one more NUL. The receiver releases it.
inline HDROP makeDrop(const std::vector<std::string>& names) {
  std::size_t size = sizeof(DROPFILES) + 1;
  for (const auto& name : names) size += name.size() + 1;
  HGLOBAL memory = GlobalAlloc(GHND, size);
  auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
  header->pFiles = sizeof(DROPFILES);
  header->fWide = FALSE;
  char* cursor = reinterpret_cast<char*>(header) + sizeof(DROPFILES);
  for (const auto& name : names) {
    std::memcpy(cursor, name.data(), name.size());
    cursor += name.size() + 1;
  }
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

}  // namespace rendlow::ui::test
