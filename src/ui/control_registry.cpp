#include "ui/control_registry.h"

#include "ui/win32.h"

namespace rendlow::ui {

ControlRegistry::ControlRegistry() {
  INITCOMMONCONTROLSEX init{};
  init.dwSize = sizeof(init);
  init.dwICC = ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&init);
}

bool ControlRegistry::add(std::shared_ptr<ControlItem> control) {
  control->registry_ = this;
  controls_.push_back(std::move(control));
  return true;
}

ControlItem* ControlRegistry::findByWindowId(int32_t windowId) const {
  for (const auto& control : controls_)
    if (control->windowId() == windowId) return control.get();
  return nullptr;
}

ControlItem* ControlRegistry::findById(int32_t id) const {
  for (const auto& control : controls_)
    if (control->id() == id) return control.get();
  return nullptr;
}

ControlItem* ControlRegistry::findByHandle(HWND handle) const {
  for (const auto& control : controls_)
    if (control->getHandle() == handle) return control.get();
  return nullptr;
}

void ControlRegistry::attachTo(HWND mainWindowHandle) {
  SetWindowLongPtrA(mainWindowHandle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

ControlRegistry* ControlRegistry::of(HWND window) {
  const HWND root = window ? GetAncestor(window, GA_ROOT) : nullptr;
  if (!root) return nullptr;
  return reinterpret_cast<ControlRegistry*>(GetWindowLongPtrA(root, GWLP_USERDATA));
}

}  // namespace rendlow::ui
