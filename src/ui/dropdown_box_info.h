#pragma once

#include <string>
#include <vector>

#include "ui/control_item.h"

namespace rendlow::ui {

// A drop-down list. Keeps its own copy of the item texts beside the platform's list.
class DropdownBoxInfo : public ControlItem {
public:
  explicit DropdownBoxInfo(ControlRegistry& registry, HWND parentHandle = nullptr)
      : ControlItem(ControlKind::Dropdown, registry, parentHandle) {}

  // `height` is the closed height; the window gets ten times that, room for the opened list.
  void createWithoutText(int32_t id, int x, int y, int width, int height) override;

  virtual void itemsChanged() {}
  void setChangeHandler(int32_t code, ControlHandler handler) { addHandler(code, std::move(handler)); }
  void addItem(std::string_view text);
  // Ignores an index outside the list.
  void deleteItem(int32_t index);
  // Deletes the items at the ascending indices of `pendingDeletes`, each counted in the list as
  // it was before the first deletion. The pending list is left as it is.
  void deletePendingItems();
  void clearItems();
  int32_t itemCount() const { return static_cast<int32_t>(items_.size()); }
  int32_t selectedIndex() const;
  // Callers keep `index` in range.
  const std::string& itemText(int32_t index) const { return items_[static_cast<std::size_t>(index)]; }
  // -1 clears the selection.
  void select(int32_t index);

  std::vector<int32_t> pendingDeletes;

private:
  std::vector<std::string> items_;
};

}  // namespace rendlow::ui
