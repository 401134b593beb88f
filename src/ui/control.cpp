#include "ui/control.h"

#include "ui/window_text.h"

namespace rendlow::ui {

namespace {

// Where the toolkit's reflected messages start: a parent's message M reaches the child as
// kReflected + M, out of the range any system control class answers.
constexpr UINT kReflected = WM_APP + 0x1000;

HWND childOf(UINT message, LPARAM lParam) {
  if (message == WM_NOTIFY) return lParam ? reinterpret_cast<const NMHDR*>(lParam)->hwndFrom : nullptr;
  return reinterpret_cast<HWND>(lParam);
}

}  // namespace

LRESULT reflectToChild(UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND child = childOf(message, lParam);
  return child ? SendMessageW(child, kReflected + message, wParam, lParam) : 0;
}

Control::~Control() {
  if (handle_) RemoveWindowSubclass(handle_, procedure, 0);
}

void Control::setText(std::string_view text) { SetWindowTextW(handle_, toWindowText(text).c_str()); }

void Control::enable(bool enabled) { EnableWindow(handle_, enabled ? TRUE : FALSE); }

void Control::create(const wchar_t* windowClass, const Parent& parent, int id, const Bounds& at,
                     std::string_view text, DWORD style, DWORD extendedStyle) {
  handle_ = CreateWindowExW(
      extendedStyle, windowClass, toWindowText(text).c_str(), style, at.x, at.y, at.width, at.height,
      parent.window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  if (!handle_) return;
  SetWindowSubclass(handle_, procedure, 0, reinterpret_cast<DWORD_PTR>(this));
  SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(parent.font), FALSE);
}

HBRUSH Control::onButtonFace(HDC context) {
  SetBkColor(context, GetSysColor(COLOR_BTNFACE));
  return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

LRESULT CALLBACK Control::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR self) {
  Control& control = *reinterpret_cast<Control*>(self);
  switch (message) {
    case kReflected + WM_COMMAND:
      control.command(HIWORD(wParam));
      return 0;
    case kReflected + WM_NOTIFY:
      control.notify(*reinterpret_cast<const NMHDR*>(lParam));
      return 0;
    case kReflected + WM_CTLCOLORSTATIC:
    case kReflected + WM_CTLCOLORBTN:
      return reinterpret_cast<LRESULT>(control.backgroundInGroup(reinterpret_cast<HDC>(wParam)));
    case WM_NCDESTROY:
      RemoveWindowSubclass(window, procedure, 0);
      control.handle_ = nullptr;
      break;
    default:
      if (LRESULT result = 0; control.intercept(message, wParam, lParam, result)) return result;
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace rendlow::ui
