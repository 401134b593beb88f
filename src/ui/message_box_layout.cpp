#include "ui/message_box_layout.h"

#include <algorithm>

namespace rendlow::ui {

namespace {

constexpr int kMargin = 12;
constexpr int kIconGap = 12;
constexpr int kButtonGap = 8;
constexpr int kButtonHeight = 24;
// The narrowest button the system's boxes use, so that "OK" is not a sliver.
constexpr int kButtonMinWidth = 80;
constexpr int kButtonPadding = 24;

RECT at(int x, int y, SIZE size) { return {x, y, x + size.cx, y + size.cy}; }

}  // namespace

MessageBoxLayout layOutMessageBox(const MessageBoxMeasures& measures) {
  MessageBoxLayout layout;
  const int contentHeight = std::max(measures.icon.cy, measures.text.cy);
  layout.icon = at(kMargin, kMargin + (contentHeight - measures.icon.cy) / 2, measures.icon);
  layout.text =
      at(layout.icon.right + kIconGap, kMargin + (contentHeight - measures.text.cy) / 2, measures.text);

  // One width for every button, so that a row of them reads as one choice.
  int buttonWidth = kButtonMinWidth;
  for (const int textWidth : measures.buttonTextWidths)
    buttonWidth = std::max(buttonWidth, textWidth + kButtonPadding);
  const int count = static_cast<int>(measures.buttonTextWidths.size());
  const int rowWidth = count * buttonWidth + std::max(count - 1, 0) * kButtonGap;

  layout.client.cx = std::max<int>(layout.text.right + kMargin, rowWidth + 2 * kMargin);
  const int rowTop = kMargin + contentHeight + kMargin;
  layout.client.cy = rowTop + kButtonHeight + kMargin;
  int x = (layout.client.cx - rowWidth) / 2;
  for (int i = 0; i < count; ++i, x += buttonWidth + kButtonGap)
    layout.buttons.push_back(at(x, rowTop, {buttonWidth, kButtonHeight}));
  return layout;
}

}  // namespace rendlow::ui
