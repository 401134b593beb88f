#include "ui/dropped_files.h"

#include <array>

#include "base/text.h"

namespace rendlow::ui {

std::optional<std::string> takeFirstDroppedFile(HDROP drop) {
  if (!drop) return std::nullopt;
  std::optional<std::string> first;
  if (DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0) > 0) {
    // A longer name is cut to what the buffer holds, as every stored text is.
    std::array<char, kMaxTextBytes + 1> name{};
    DragQueryFileA(drop, 0, name.data(), static_cast<UINT>(name.size()));
    first = boundedText(name.data());
  }
  DragFinish(drop);
  return first;
}

}  // namespace rendlow::ui
