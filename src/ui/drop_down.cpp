#include "ui/drop_down.h"

#include <string>

#include "ui/window_text.h"

namespace rendlow::ui {

void DropDown::create(const Parent& parent, int id, const Bounds& at) {
  Control::create(WC_COMBOBOXW, parent, id, {at.x, at.y, at.width, at.height * 10}, "",
                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST, WS_EX_ACCEPTFILES);
}

void DropDown::addItem(std::string_view text) {
  const std::wstring item = toWindowText(text);
  SendMessageW(handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

int DropDown::selectedIndex() const {
  const LRESULT selected = SendMessageW(handle(), CB_GETCURSEL, 0, 0);
  return selected == CB_ERR ? -1 : static_cast<int>(selected);
}

void DropDown::select(int index) { SendMessageW(handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0); }

void DropDown::command(WORD code) {
  if (code == CBN_SELCHANGE && onChange) onChange();
}

}  // namespace rendlow::ui
