#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "ui/win32.h"

namespace rendlow::ui {

// The width in pixels that a piece of one line takes.
using TextWidth = std::function<int(std::wstring_view)>;

// `text` with each line broken so that no line is wider than `widest`: after the last space or
// path separator that still fits, or, where none does (a long path without either), after the
// last character that fits. Every line keeps at least one character, so even a narrow width ends.
std::wstring wrapLines(std::wstring_view text, int widest, const TextWidth& width);

// A message box of the program, owned by `owner`: the program's name as its caption, the text
// wrapped to fit the screen whatever paths it names, and `style` (buttons and icon). Returns the
// button the user chose.
int showMessageBox(HWND owner, std::wstring_view text, UINT style);

}  // namespace rendlow::ui
