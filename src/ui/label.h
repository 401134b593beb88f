#pragma once

#include <string_view>

#include "ui/control.h"

namespace rendlow::ui {

// A fixed caption. Inside a group box it shows on the button face, so the frame stays visible.
class Label : public Control {
public:
  void create(const Parent& parent, int id, const Bounds& at, std::string_view text);

protected:
  HBRUSH backgroundInGroup(HDC context) override { return onButtonFace(context); }
};

}  // namespace rendlow::ui
