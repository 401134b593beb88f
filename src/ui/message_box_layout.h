#pragma once

#include <vector>

#include "ui/win32.h"

namespace rendlow::ui {

// The sizes of what a message box shows, as its font and the system draw them.
struct MessageBoxMeasures {
  SIZE icon{};
  SIZE text{};
  std::vector<int> buttonTextWidths;  // in the buttons' order
};

// Where each part of a message box lies in its client area.
struct MessageBoxLayout {
  SIZE client{};
  RECT icon{};
  RECT text{};
  std::vector<RECT> buttons;
};

// The icon at the top left, the text beside it (centred on the icon when shorter), and the
// buttons in a row below both, centred, each at least as wide as the others need.
MessageBoxLayout layOutMessageBox(const MessageBoxMeasures& measures);

}  // namespace rendlow::ui
