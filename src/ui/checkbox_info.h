#pragma once

#include <memory>
#include <vector>

#include "ui/button_info.h"

namespace rendlow::ui {

// An automatic check box. Clicking it enables or disables the controls linked to it.
class CheckboxInfo : public ButtonInfo {
public:
  explicit CheckboxInfo(ControlRegistry& registry, HWND parentHandle = nullptr)
      : ButtonInfo(ControlKind::Checkbox, registry, parentHandle) {}

  // Creates the box checked.
  void create(int32_t id, int x, int y, int width, int height, std::string_view text) override;
  // Only the click (code 0) matters: the platform's state becomes the box's, and the linked
  // controls follow it.
  int32_t handleMessage(int32_t code, WPARAM wParam, LPARAM lParam) override;

  void setChangeHandler(int32_t code, ControlHandler handler) { addHandler(code, std::move(handler)); }
  bool isChecked() const { return checked_; }
  void setChecked(bool flag);
  void addLinkedControl(std::shared_ptr<ControlItem> control) {
    linkedControls_.push_back(std::move(control));
  }

private:
  bool checked_ = false;
  std::vector<std::shared_ptr<ControlItem>> linkedControls_;
};

}  // namespace rendlow::ui
