#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "ui/control.h"

namespace rendlow::ui {

// What an edit box lets the user type: anything, or digits only.
enum class Typing { Any, Digits };

// A one-line edit box. Enter never reaches the box itself (it would beep), nor the dialog keys of
// the window's message loop; it calls onEnter.
class TextBox : public Control {
public:
  void create(const Parent& parent, int id, const Bounds& at, Typing typing = Typing::Any);
  // Decimal for 0 and up; nothing for a negative value (a mixed or kept value).
  void setNumber(int32_t value);
  std::wstring wideText() const;
  // The text as the engine's bytes, at most 511 of them; nothing when it holds a character that
  // code page 932 lacks. A digits box gives full-width digits as the digits they are.
  std::optional<std::string> text() const;

  std::function<void()> onEnter;
  // The text changed, by the user or by setText.
  std::function<void()> onChange;

protected:
  bool intercept(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void command(WORD code) override;

private:
  Typing typing_ = Typing::Any;
};

}  // namespace rendlow::ui
