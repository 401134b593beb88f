#include "ui/dropped_files.h"

namespace rendlow::ui {

std::optional<std::wstring> takeFirstDroppedFile(HDROP drop) {
  if (!drop) return std::nullopt;
  std::optional<std::wstring> first;
  if (DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) > 0) {
    std::wstring name(DragQueryFileW(drop, 0, nullptr, 0) + 1, L'\0');
    name.resize(DragQueryFileW(drop, 0, name.data(), static_cast<UINT>(name.size())));
    first = std::move(name);
  }
  DragFinish(drop);
  return first;
}

}  // namespace rendlow::ui
