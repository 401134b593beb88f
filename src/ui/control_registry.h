#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "ui/control_item.h"
#include "ui/win32.h"

namespace rendlow::ui {

struct WindowInfo;

// Keeps every control of the program alive and finds them: by native window id (how the platform
// addresses them), by logical id (how the application does) and by window handle. The main
// window's user-data slot leads to it, so the window procedures of the toolkit reach the controls
// without globals. Controls are never removed.
class ControlRegistry {
public:
  // Initialises the common-controls library, which the list view needs.
  ControlRegistry();
  ControlRegistry(const ControlRegistry&) = delete;
  ControlRegistry& operator=(const ControlRegistry&) = delete;

  WindowInfo* mainWindow = nullptr;

  bool add(std::shared_ptr<ControlItem> control);
  ControlItem* findByWindowId(int32_t windowId) const;
  ControlItem* findById(int32_t id) const;
  ControlItem* findByHandle(HWND handle) const;
  template <class T>
  T* findById(int32_t id) const {
    return dynamic_cast<T*>(findById(id));
  }
  const std::vector<std::shared_ptr<ControlItem>>& controls() const { return controls_; }

  // The next native window id, counting every control constructed so far: 100, 101, ...
  int32_t takeWindowId() { return 100 + nextWindowId_++; }

  // Makes this registry the one that the windows under `mainWindow` are routed through.
  void attachTo(HWND mainWindowHandle);
  // The registry a window of the program is routed through: the one attached to its top-level
  // window; null before attachment.
  static ControlRegistry* of(HWND window);

private:
  std::vector<std::shared_ptr<ControlItem>> controls_;
  int32_t nextWindowId_ = 0;
};

}  // namespace rendlow::ui
