#include "ui/check_box.h"

namespace rendlow::ui {

void CheckBox::create(const Parent& parent, int id, const Bounds& at) {
  Control::create(WC_BUTTONW, parent, id, at, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX);
}

bool CheckBox::isChecked() const { return SendMessageW(handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void CheckBox::setChecked(bool checked) {
  SendMessageW(handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void CheckBox::command(WORD code) {
  if (code == BN_CLICKED && onClick) onClick();
}

}  // namespace rendlow::ui
