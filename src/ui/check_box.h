#pragma once

#include <functional>

#include "ui/control.h"

namespace rendlow::ui {

// An automatic check box, made unchecked: it shows no state until it is given one.
class CheckBox : public Control {
public:
  void create(const Parent& parent, int id, const Bounds& at);
  bool isChecked() const;
  void setChecked(bool checked);

  // The user clicked it; setChecked tells nothing.
  std::function<void()> onClick;

protected:
  HBRUSH backgroundInGroup(HDC context) override { return onButtonFace(context); }
  void command(WORD code) override;
};

}  // namespace rendlow::ui
