#include "ui/textbox_info.h"

#include <array>
#include <cstdio>

#include "base/text.h"
#include "ui/control_registry.h"
#include "ui/form_ids.h"

namespace rendlow::ui {

namespace {

constexpr WPARAM kEnter = 13;

}  // namespace

void TextboxInfo::create(int32_t id, int x, int y, int width, int height, std::string_view text) {
  ControlItem::create(id, x, y, width, height, text);
  createNativeWindow("EDIT", text, WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 0, x, y,
                     width, height);
  subclass(editWindowProc);
}

int32_t TextboxInfo::handleMessage(int32_t code, WPARAM wParam, LPARAM) {
  if (code != WM_CHAR || wParam != kEnter) return 0;
  if (id() < ids::kFirstSettingsId || id() > ids::kLastSettingsId || !registry()) return 0;
  if (ControlItem* update = registry()->findById(ids::kUpdateButton))
    update->handleMessage(BN_CLICKED, 0, reinterpret_cast<LPARAM>(update->getHandle()));
  return 0;
}

void TextboxInfo::setNumber(int32_t value) {
  if (value < 0) {
    setText("");
    return;
  }
  std::array<char, 16> digits{};
  std::snprintf(digits.data(), digits.size(), "%d", static_cast<int>(value));
  setText(digits.data());
}

void TextboxInfo::setText(std::string_view text) { SetWindowTextA(getHandle(), std::string(text).c_str()); }

std::string TextboxInfo::getText() const {
  std::array<char, kMaxTextBytes + 1> buffer{};
  const int length = GetWindowTextA(getHandle(), buffer.data(), static_cast<int>(buffer.size()));
  return boundedText(std::string_view(buffer.data(), length > 0 ? static_cast<std::size_t>(length) : 0));
}

LRESULT CALLBACK editWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CHAR) {
    const ControlRegistry* registry = ControlRegistry::of(window);
    if (ControlItem* control = registry ? registry->findByHandle(window) : nullptr)
      control->handleMessage(WM_CHAR, wParam, lParam);
    if (wParam == kEnter) return 0;
  }
  return callPreviousProcedure(window, message, wParam, lParam);
}

}  // namespace rendlow::ui
