#pragma once

#include <functional>
#include <string_view>

#include "ui/control.h"

namespace rendlow::ui {

// A drop-down list to choose from.
class DropDown : public Control {
public:
  // `at.height` is the closed height; the window gets ten times that, room for the opened list.
  void create(const Parent& parent, int id, const Bounds& at);
  void addItem(std::string_view text);
  int selectedIndex() const;  // -1 when none
  void select(int index);     // -1 clears the selection

  // The user chose an item; select tells nothing.
  std::function<void()> onChange;

protected:
  void command(WORD code) override;
};

}  // namespace rendlow::ui
