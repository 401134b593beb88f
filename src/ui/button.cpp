#include "ui/button.h"

namespace rendlow::ui {

void Button::create(const Parent& parent, int id, const Bounds& at, std::string_view text) {
  Control::create(WC_BUTTONW, parent, id, at, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON);
}

void Button::command(WORD code) {
  if (code == BN_CLICKED && onClick) onClick();
}

}  // namespace rendlow::ui
