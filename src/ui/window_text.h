#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace rendlow::ui {

// The engine keeps every text as bytes of code page 932 (Shift_JIS): track names, settings, paths,
// and this program's own literals, which the compiler writes in that code page. The window speaks
// UTF-16 on every Windows, whatever its ANSI code page, so that Japanese shows as Japanese on an
// English or a Korean Windows too. Every text crosses between the two here, and only here.

// Bytes of code page 932 as the window shows them. A byte sequence that is no character shows as
// the code page's stand-in ("・").
std::wstring toWindowText(std::string_view bytes);

// A text from the window as bytes of code page 932; nothing when a character has no form there
// (Hangul, most accented letters): a name or a path passed on with stand-in characters would
// name another file or say another thing.
std::optional<std::string> toEngineText(std::wstring_view text);

// True when the system's ANSI code page reads `bytes`, the engine's form of `text`, as `text`
// again. The engine opens files through the ANSI calls, so only such a path reaches the file the
// user chose. Always true on a Japanese Windows; elsewhere, in practice, for ASCII paths only.
bool systemReadsAlike(std::string_view bytes, std::wstring_view text);

}  // namespace rendlow::ui
