#pragma once

#include <string_view>

#include "ui/control.h"

namespace rendlow::ui {

// A group box. The controls inside it are its child windows, so their commands and notifications
// arrive here first; they go back to the controls. Files dropped on it go to the main window. Tab
// goes into it, through its controls, and on.
class Group : public Control {
public:
  void create(const Parent& parent, int id, const Bounds& at, std::string_view caption);
  // What the controls inside the group are made in.
  Parent inside() const { return {handle(), font_}; }

protected:
  bool intercept(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
  HFONT font_ = nullptr;
};

}  // namespace rendlow::ui
