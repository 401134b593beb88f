#include "ui/group.h"

namespace rendlow::ui {

void Group::create(const Parent& parent, int id, const Bounds& at, std::string_view caption) {
  // Not a stop of its own: the dialog keys go through the controls inside it.
  Control::create(WC_BUTTONW, parent, id, at, caption, WS_CHILD | WS_VISIBLE | BS_GROUPBOX,
                  WS_EX_ACCEPTFILES | WS_EX_CONTROLPARENT);
  font_ = parent.font;
  if (handle()) DragAcceptFiles(handle(), TRUE);
}

bool Group::intercept(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
      result = reflectToChild(message, wParam, lParam);
      return true;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      result = reflectToChild(message, wParam, lParam);
      return result != 0;
    case WM_DROPFILES:
      result = SendMessageW(GetAncestor(handle(), GA_ROOT), message, wParam, lParam);
      return true;
    default:
      return false;
  }
}

}  // namespace rendlow::ui
