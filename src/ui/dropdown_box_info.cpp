#include "ui/dropdown_box_info.h"

#include "base/text.h"

namespace rendlow::ui {

void DropdownBoxInfo::createWithoutText(int32_t id, int x, int y, int width, int height) {
  ControlItem::create(id, x, y, width, height, "");
  createNativeWindow("COMBOBOX", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST, WS_EX_ACCEPTFILES,
                     x, y, width, height * 10);
}

void DropdownBoxInfo::addItem(std::string_view text) {
  items_.push_back(boundedText(text));
  SendMessageA(getHandle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items_.back().c_str()));
  itemsChanged();
}

void DropdownBoxInfo::deleteItem(int32_t index) {
  if (index < 0 || index >= itemCount()) return;
  items_.erase(items_.begin() + index);
  SendMessageA(getHandle(), CB_DELETESTRING, static_cast<WPARAM>(index), 0);
  itemsChanged();
}

void DropdownBoxInfo::deletePendingItems() {
  int32_t alreadyDeleted = 0;
  for (const int32_t index : pendingDeletes) deleteItem(index - alreadyDeleted++);
  itemsChanged();
}

void DropdownBoxInfo::clearItems() {
  while (!items_.empty()) {
    items_.erase(items_.begin());
    SendMessageA(getHandle(), CB_DELETESTRING, 0, 0);
  }
  itemsChanged();
}

int32_t DropdownBoxInfo::selectedIndex() const {
  const LRESULT selected = SendMessageA(getHandle(), CB_GETCURSEL, 0, 0);
  return selected == CB_ERR ? -1 : static_cast<int32_t>(selected);
}

void DropdownBoxInfo::select(int32_t index) {
  SendMessageA(getHandle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

}  // namespace rendlow::ui
