#include "ui/text_box.h"

#include <algorithm>

#include "base/text.h"
#include "ui/window_text.h"

namespace rendlow::ui {

namespace {

constexpr WPARAM kEnter = L'\r';

// A digit typed with a Japanese IME comes full-width, "２" for 2: a digits box takes it as the
// digit it is, where the box's own digits-only rule would drop it without a word.
wchar_t halfWidthDigit(wchar_t c) {
  return c >= L'\uFF10' && c <= L'\uFF19' ? static_cast<wchar_t>(L'0' + (c - L'\uFF10')) : c;
}

}  // namespace

void TextBox::create(const Parent& parent, int id, const Bounds& at, Typing typing) {
  typing_ = typing;
  Control::create(WC_EDITW, parent, id, at, "",
                  WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL |
                      (typing == Typing::Digits ? ES_NUMBER : 0));
}

void TextBox::setNumber(int32_t value) { setText(value >= 0 ? std::to_string(value) : std::string()); }

std::wstring TextBox::wideText() const {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(handle())) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(handle(), text.data(), static_cast<int>(text.size()))));
  return text;
}

std::optional<std::string> TextBox::text() const {
  std::wstring wide = wideText();
  // Pasted full-width digits pass the box's rule; they are read as digits too.
  if (typing_ == Typing::Digits) std::transform(wide.begin(), wide.end(), wide.begin(), halfWidthDigit);
  std::optional<std::string> bytes = toEngineText(wide);
  if (bytes) *bytes = boundedText(*bytes);
  return bytes;
}

bool TextBox::intercept(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (message == WM_GETDLGCODE) {
    // Enter stays a key of the box, so it reaches the box as a character.
    const auto* key = reinterpret_cast<const MSG*>(lParam);
    result = DefSubclassProc(handle(), message, wParam, lParam);
    if (key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN) result |= DLGC_WANTMESSAGE;
    return true;
  }
  if (message == WM_CHAR && typing_ == Typing::Digits && halfWidthDigit(static_cast<wchar_t>(wParam)) != wParam) {
    result = DefSubclassProc(handle(), message, halfWidthDigit(static_cast<wchar_t>(wParam)), lParam);
    return true;
  }
  if (message != WM_CHAR || wParam != kEnter) return false;
  if (onEnter) onEnter();
  result = 0;
  return true;
}

void TextBox::command(WORD code) {
  if (code == EN_CHANGE && onChange) onChange();
}

}  // namespace rendlow::ui
