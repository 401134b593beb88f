#include "ui/button_info.h"

namespace rendlow::ui {

void ButtonInfo::create(int32_t id, int x, int y, int width, int height, std::string_view text) {
  ControlItem::create(id, x, y, width, height, text);
  createNativeWindow("BUTTON", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, x, y, width,
                     height);
}

}  // namespace rendlow::ui
