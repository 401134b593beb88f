#pragma once

#include "ui/control_item.h"

namespace rendlow::ui {

// A group box. The controls inside it are its child windows, so their notifications arrive at
// the group box first; groupWindowProc hands them on to the main window procedure. It also
// accepts dropped files, which the main window procedure loads.
class GroupInfo : public ControlItem {
public:
  explicit GroupInfo(ControlRegistry& registry, HWND parentHandle = nullptr)
      : ControlItem(ControlKind::Group, registry, parentHandle) {}

  void create(int32_t id, int x, int y, int width, int height, std::string_view text) override;
  void setText(std::string_view text);

  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
};

LRESULT CALLBACK groupWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace rendlow::ui
