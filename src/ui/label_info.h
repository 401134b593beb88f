#pragma once

#include <string>

#include "ui/control_item.h"

namespace rendlow::ui {

// A static caption. Keeps the position and text it was created with.
class LabelInfo : public ControlItem {
public:
  explicit LabelInfo(ControlRegistry& registry, HWND parentHandle = nullptr)
      : ControlItem(ControlKind::Label, registry, parentHandle) {}

  void create(int32_t id, int x, int y, int width, int height, std::string_view text) override;

  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  std::string text;
};

}  // namespace rendlow::ui
