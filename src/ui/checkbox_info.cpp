#include "ui/checkbox_info.h"

#include "ui/control_registry.h"

namespace rendlow::ui {

void CheckboxInfo::create(int32_t id, int x, int y, int width, int height, std::string_view text) {
  ControlItem::create(id, x, y, width, height, text);
  createNativeWindow("BUTTON", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 0, x, y, width,
                     height);
  setChecked(true);
}

int32_t CheckboxInfo::handleMessage(int32_t code, WPARAM, LPARAM) {
  if (code != BN_CLICKED) return 0;
  const bool state = SendMessageA(getHandle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
  for (const auto& linked : linkedControls_) {
    ControlItem* control = registry() ? registry()->findById(linked->id()) : nullptr;
    if (!control) continue;
    control->setEnabled(state);
    EnableWindow(control->getHandle(), state);
  }
  checked_ = state;
  return 0;
}

void CheckboxInfo::setChecked(bool flag) {
  SendMessageA(getHandle(), BM_SETCHECK, flag ? BST_CHECKED : BST_UNCHECKED, 0);
  checked_ = flag;
}

}  // namespace rendlow::ui
