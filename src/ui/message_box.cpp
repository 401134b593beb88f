#include "ui/message_box.h"

namespace rendlow::ui {

namespace {

constexpr wchar_t kProgramName[] = L"Rendlow";

bool isBreakAfter(wchar_t c) { return c == L' ' || c == L'\\' || c == L'/'; }

// How many characters of `line` (two or more wide) start it on a line of at most `widest` pixels.
std::size_t fittingLength(std::wstring_view line, int widest, const TextWidth& width) {
  std::size_t fits = 1;
  while (fits < line.size() && width(line.substr(0, fits + 1)) <= widest) ++fits;
  if (fits == line.size()) return fits;
  for (std::size_t at = fits; at > 1; --at)
    if (isBreakAfter(line[at - 1])) return at;
  return fits;
}

void appendWrapped(std::wstring& out, std::wstring_view line, int widest, const TextWidth& width) {
  while (!line.empty() && width(line) > widest) {
    const std::size_t length = fittingLength(line, widest, width);
    out.append(line.substr(0, length)).push_back(L'\n');
    line.remove_prefix(length);
  }
  out.append(line);
}

// The message font the system gives message boxes, to measure the text as the box will show it.
HFONT messageFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return nullptr;
  return CreateFontIndirectW(&metrics.lfMessageFont);
}

// The screen's width less what the box puts around its text: the icon, the margins, the frame.
int widestLine() {
  constexpr int kAroundText = 160;
  return GetSystemMetrics(SM_CXSCREEN) - kAroundText;
}

std::wstring wrappedForScreen(std::wstring_view text) {
  const HDC screen = GetDC(nullptr);
  const HFONT font = messageFont();
  const HGDIOBJ previous = font ? SelectObject(screen, font) : nullptr;
  const TextWidth width = [screen](std::wstring_view piece) {
    SIZE size{};
    GetTextExtentPoint32W(screen, piece.data(), static_cast<int>(piece.size()), &size);
    return static_cast<int>(size.cx);
  };
  std::wstring wrapped = wrapLines(text, widestLine(), width);
  if (previous) SelectObject(screen, previous);
  if (font) DeleteObject(font);
  ReleaseDC(nullptr, screen);
  return wrapped;
}

}  // namespace

std::wstring wrapLines(std::wstring_view text, int widest, const TextWidth& width) {
  std::wstring out;
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find(L'\n', start);
    appendWrapped(out, text.substr(start, end - start), widest, width);
    if (end == std::wstring_view::npos) return out;
    out.push_back(L'\n');
    start = end + 1;
  }
}

int showMessageBox(HWND owner, std::wstring_view text, UINT style) {
  return MessageBoxW(owner, wrappedForScreen(text).c_str(), kProgramName, style);
}

}  // namespace rendlow::ui
