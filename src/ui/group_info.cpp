#include "ui/group_info.h"

#include <string>

#include "ui/control_registry.h"
#include "ui/main_window.h"
#include "ui/win32.h"

namespace rendlow::ui {

void GroupInfo::create(int32_t id, int x, int y, int width, int height, std::string_view text) {
  ControlItem::create(id, x, y, width, height, text);
  createNativeWindow("BUTTON", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_GROUPBOX, WS_EX_ACCEPTFILES, x,
                     y, width, height);
  this->x = x;
  this->y = y;
  this->width = width;
  this->height = height;
  subclass(groupWindowProc);
  if (getHandle()) DragAcceptFiles(getHandle(), TRUE);
}

void GroupInfo::setText(std::string_view text) { SetWindowTextA(getHandle(), std::string(text).c_str()); }

namespace {

ControlItem* controlWithHandle(HWND window, LPARAM handle) {
  const ControlRegistry* registry = ControlRegistry::of(window);
  return registry ? registry->findByHandle(reinterpret_cast<HWND>(handle)) : nullptr;
}

// Check boxes and labels inside a group box draw their text on the button face and leave the
// rest of their rectangle to the group box, so the box's frame and caption stay visible.
LRESULT colourFor(HWND window, WPARAM deviceContext, LPARAM handle, ControlKind kind) {
  const ControlItem* control = controlWithHandle(window, handle);
  if (!control || control->kind() != kind) return 0;
  SetBkColor(reinterpret_cast<HDC>(deviceContext), GetSysColor(COLOR_BTNFACE));
  return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
}

}  // namespace

LRESULT CALLBACK groupWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NOTIFY:
    case WM_COMMAND:
    case WM_DROPFILES:
      return mainWindowProc(window, message, wParam, lParam);
    case WM_INITDIALOG:
      return 1;
    case WM_VSCROLL:
      if (ControlItem* control = controlWithHandle(window, lParam))
        control->handleMessage(WM_VSCROLL, wParam, lParam);
      return 0;
    case WM_CTLCOLORBTN:
      return colourFor(window, wParam, lParam, ControlKind::Checkbox);
    case WM_CTLCOLORSTATIC:
      return colourFor(window, wParam, lParam, ControlKind::Label);
    case WM_USER:
      if (const ControlRegistry* registry = ControlRegistry::of(window)) {
        if (ControlItem* control = registry->findByWindowId(LOWORD(wParam)))
          control->handleMessage(HIWORD(wParam), wParam, lParam);
      }
      return 0;
    default:
      return callPreviousProcedure(window, message, wParam, lParam);
  }
}

}  // namespace rendlow::ui
