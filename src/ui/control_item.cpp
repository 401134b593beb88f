#include "ui/control_item.h"

#include <string>

#include "ui/control_registry.h"
#include "ui/window_info.h"

namespace rendlow::ui {

ControlItem::ControlItem(ControlKind kind, ControlRegistry& registry, HWND parentHandle)
    : parentHandle_(parentHandle),
      windowId_(registry.takeWindowId()),
      kind_(kind),
      mainWindow_(registry.mainWindow) {}

ControlItem::~ControlItem() {
  if (font_) DeleteObject(font_);
}

HWND ControlItem::getParentHandle() const {
  if (parentHandle_) return parentHandle_;
  return mainWindow_ ? mainWindow_->handle : nullptr;
}

void ControlItem::addHandler(int32_t code, ControlHandler handler) {
  handlers_.emplace_back(code, std::move(handler));
}

void ControlItem::create(int32_t id, int, int, int, int, std::string_view) { id_ = id; }

void ControlItem::createWithoutText(int32_t id, int x, int y, int width, int height) {
  create(id, x, y, width, height, "");
}

void ControlItem::setFont(int height, int weight) {
  if (font_) DeleteObject(font_);
  font_ = CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, nullptr);
  if (handle_) SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
}

int32_t ControlItem::handleMessage(int32_t code, WPARAM wParam, LPARAM lParam) {
  runHandler(code, wParam, lParam);
  return 0;
}

void ControlItem::runHandler(int32_t code, WPARAM wParam, LPARAM lParam) {
  for (auto& [handlerCode, handler] : handlers_) {
    if (handlerCode != code) continue;
    handler(*this, code, wParam, lParam);
    return;
  }
}

void ControlItem::createNativeWindow(const char* windowClass, std::string_view text, DWORD style,
                                     DWORD extendedStyle, int x, int y, int width, int height) {
  const std::string caption(text);
  const HINSTANCE instance = mainWindow_ ? mainWindow_->instance : GetModuleHandleA(nullptr);
  handle_ = CreateWindowExA(extendedStyle, windowClass, caption.c_str(), style, x, y, width, height,
                            getParentHandle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(windowId_)),
                            instance, nullptr);
  setFont(12, 400);
}

void ControlItem::subclass(WNDPROC procedure) {
  if (!handle_) return;
  const LONG_PTR previous = SetWindowLongPtrA(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
  SetWindowLongPtrA(handle_, GWLP_USERDATA, previous);
}

LRESULT callPreviousProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!previous) return DefWindowProcA(window, message, wParam, lParam);
  return CallWindowProcA(previous, window, message, wParam, lParam);
}

}  // namespace rendlow::ui
