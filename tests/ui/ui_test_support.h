#pragma once

// Helpers for the desktop program's tests: they create real windows (run them under Wine with a
// display) and speak to them with the messages the platform would send.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "ui/shell.h"
#include "ui/win32.h"

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

// The Shift_JIS bytes of a UTF-8 text: how the program's own literals reach the platform (the
// program is compiled with the CP932 execution character set; the tests are not).
inline std::string shiftJis(std::u8string_view utf8) {
  const auto* bytes = reinterpret_cast<const char*>(utf8.data());
  const int wideLength = MultiByteToWideChar(CP_UTF8, 0, bytes, static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, bytes, static_cast<int>(utf8.size()), wide.data(), wideLength);
  const int length = WideCharToMultiByte(932, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(932, 0, wide.data(), wideLength, result.data(), length, nullptr, nullptr);
  return result;
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
