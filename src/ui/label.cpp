#include "ui/label.h"

namespace rendlow::ui {

void Label::create(const Parent& parent, int id, const Bounds& at, std::string_view text) {
  Control::create(WC_STATICW, parent, id, at, text, WS_CHILD | WS_VISIBLE);
}

}  // namespace rendlow::ui
