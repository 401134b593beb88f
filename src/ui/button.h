#pragma once

#include <functional>
#include <string_view>

#include "ui/control.h"

namespace rendlow::ui {

class Button : public Control {
public:
  void create(const Parent& parent, int id, const Bounds& at, std::string_view text);
  std::function<void()> onClick;

protected:
  void command(WORD code) override;
};

}  // namespace rendlow::ui
