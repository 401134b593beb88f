#include "ui/label_info.h"

#include "base/text.h"

namespace rendlow::ui {

void LabelInfo::create(int32_t id, int x, int y, int width, int height, std::string_view text) {
  ControlItem::create(id, x, y, width, height, text);
  createNativeWindow("STATIC", text, WS_CHILD | WS_VISIBLE, 0, x, y, width, height);
  this->x = x;
  this->y = y;
  this->width = width;
  this->height = height;
  this->text = boundedText(text);
}

}  // namespace rendlow::ui
