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

// The icon a message box shows and the sound it makes as it opens.
enum class BoxTone { Information, Warning, Error, Question };

// The buttons every box of that kind has: OK alone, or Yes, No and Cancel.
enum class BoxButtons { Ok, YesNoCancel };

// What the one button a caller may add answers, apart from every answer of the system's boxes.
inline constexpr int kExtraButtonAnswer = 100;

struct MessageBoxContent {
  std::wstring text;
  BoxTone tone = BoxTone::Information;
  BoxButtons buttons = BoxButtons::Ok;
  // The caption of one more button, before the others, that answers kExtraButtonAnswer; no such
  // button when empty.
  std::wstring extraButton = {};
};

// A modal message box of the program, owned by `owner`, with every text in `font`: the system's
// boxes draw in the system's message font, which may lack the Japanese characters. The program's
// name is its caption, the text is wrapped to fit the screen whatever paths it names, and the
// first of the box's own buttons is the default one, with the focus. Returns the button the user
// chose as MessageBoxW does (IDOK, IDYES, IDNO, IDCANCEL), or kExtraButtonAnswer. Esc and the
// close box answer Cancel, or OK in a box without Cancel.
int showMessageBox(HWND owner, HFONT font, const MessageBoxContent& content);

}  // namespace rendlow::ui
