#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/win32.h"

namespace rendlow::ui {

// Every text of the window is Japanese, with Latin letters and digits among it. A font asked for
// by name is not enough: where the name is missing, each Windows (and each Wine locale) maps it
// to a font of its own, and an English one may pick a Japanese font without Latin letters, which
// shows them as boxes. So the program looks at what is installed and names the font it takes.

// The face, among `faces` (the families that hold the Japanese character set, in the order the
// system lists them), that the window uses: the first with Latin letters, the Japanese Windows'
// UI fonts before Noto and Source Han Sans, and those before the rest. Nothing when none has
// Latin letters.
std::optional<std::wstring> chooseUiFace(const std::vector<std::wstring>& faces,
                                         const std::function<bool(const std::wstring&)>& hasLatinLetters);

// The families installed that hold the character set `charSet` (DEFAULT_CHARSET for any), each
// once, in the system's order.
std::vector<std::wstring> installedFontFaces(BYTE charSet);

// True when the installed face `face` draws every Latin letter with a glyph of its own.
bool hasLatinLetters(const std::wstring& face);

// The face the window falls back to when no Japanese face with Latin letters is listed, as in a
// prefix whose fonts Wine has not registered yet: the installed face the system draws its
// message boxes in. A name that is not installed would leave the system to
// map it, which may give a face without the characters of the texts.
std::wstring fallbackUiFace();

// The window's font, in the face chosen from those installed or, when none fits, in the fallback
// face. Null when no font can be made.
HFONT createUiFont();

}  // namespace rendlow::ui
