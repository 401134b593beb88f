#pragma once

#include <string>

#include "ui/control_item.h"

namespace rendlow::ui {

// A one-line edit box. Enter in a box of the settings group (logical ids 106 to 127) presses the
// update button (id 127) instead of beeping.
class TextboxInfo : public ControlItem {
public:
  explicit TextboxInfo(ControlRegistry& registry, HWND parentHandle = nullptr)
      : ControlItem(ControlKind::Textbox, registry, parentHandle) {}

  void create(int32_t id, int x, int y, int width, int height, std::string_view text) override;
  // Handlers are not consulted: the only message a box acts on is Enter.
  int32_t handleMessage(int32_t code, WPARAM wParam, LPARAM lParam) override;

  void setHandler(int32_t code, ControlHandler handler) { addHandler(code, std::move(handler)); }
  // Shows a value of 0 or more in decimal; a negative value (a mixed or kept value) as nothing.
  void setNumber(int32_t value);
  void setText(std::string_view text);
  // The box's text, at most 511 bytes.
  std::string getText() const;
};

// Installed on every edit box: hands character messages to the box's control and keeps Enter
// from the edit box itself.
LRESULT CALLBACK editWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace rendlow::ui
