#pragma once

#include "ui/control_item.h"

namespace rendlow::ui {

// A push button. Its click arrives as command code 0 and runs the handler attached under 0.
class ButtonInfo : public ControlItem {
public:
  explicit ButtonInfo(ControlRegistry& registry, HWND parentHandle = nullptr)
      : ButtonInfo(ControlKind::Button, registry, parentHandle) {}

  void create(int32_t id, int x, int y, int width, int height, std::string_view text) override;
  void setHandler(int32_t code, ControlHandler handler) { addHandler(code, std::move(handler)); }

protected:
  ButtonInfo(ControlKind kind, ControlRegistry& registry, HWND parentHandle)
      : ControlItem(kind, registry, parentHandle) {}
};

}  // namespace rendlow::ui
