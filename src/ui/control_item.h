#pragma once

// The base of every control of the desktop program: a thin object over one native child window.
// A control is built in phases: construct (kind, window id and parent fixed), create (the native
// window exists and has its font), attach handlers, then add it to the ControlRegistry, which
// keeps it alive until the program ends.

#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/win32.h"

namespace rendlow::ui {

class ControlRegistry;
struct WindowInfo;

enum class ControlKind : int32_t {
  Dropdown = 1,
  ListView = 2,
  Button = 3,
  Checkbox = 4,
  Textbox = 5,
  Label = 9,
  Group = 11,
};

class ControlItem;

// What the application attaches to a control under a message code. A function object rather
// than a plain function pointer, so the form can hand its handlers the state they work on
// without keeping it in globals. The result is never read.
using ControlHandler =
    std::function<int32_t(ControlItem& control, int32_t code, WPARAM wParam, LPARAM lParam)>;

class ControlItem {
public:
  ControlItem(const ControlItem&) = delete;
  ControlItem& operator=(const ControlItem&) = delete;
  virtual ~ControlItem();

  HWND getHandle() const { return handle_; }
  // The explicit parent, else the main window, else none.
  HWND getParentHandle() const;
  void addHandler(int32_t code, ControlHandler handler);
  virtual bool hasCustomPaint() const { return false; }
  // Makes the native window. The base only records the logical id.
  virtual void create(int32_t id, int x, int y, int width, int height, std::string_view text);
  virtual void createWithoutText(int32_t id, int x, int y, int width, int height);
  bool isEnabled() const { return enabled_; }
  // Records the flag only; the native window is enabled or disabled by whoever asks.
  void setEnabled(bool flag) { enabled_ = flag; }
  void setFont(int height, int weight);
  // Runs the first handler attached under `code`, if any.
  virtual int32_t handleMessage(int32_t code, WPARAM wParam, LPARAM lParam);
  virtual void paint() {}

  int32_t windowId() const { return windowId_; }
  int32_t id() const { return id_; }
  ControlKind kind() const { return kind_; }
  HFONT font() const { return font_; }
  // Null until the control is added to a registry.
  ControlRegistry* registry() const { return registry_; }

protected:
  // Takes the next native window id from the registry: 100 plus the construction order.
  ControlItem(ControlKind kind, ControlRegistry& registry, HWND parentHandle);

  // Creates the native window as a child of getParentHandle() under windowId, then gives it the
  // standard font. A failed creation leaves the handle null; later calls then do nothing.
  void createNativeWindow(const char* windowClass, std::string_view text, DWORD style, DWORD extendedStyle,
                          int x, int y, int width, int height);
  // Replaces the window procedure by `procedure`, keeping the previous one in the window's
  // user-data slot for the new procedure to hand on to.
  void subclass(WNDPROC procedure);
  void runHandler(int32_t code, WPARAM wParam, LPARAM lParam);

private:
  friend class ControlRegistry;

  HWND handle_ = nullptr;
  HWND parentHandle_ = nullptr;
  int32_t windowId_ = 0;
  int32_t id_ = 0;
  ControlKind kind_;
  HFONT font_ = nullptr;
  bool enabled_ = true;
  ControlRegistry* registry_ = nullptr;
  const WindowInfo* mainWindow_ = nullptr;
  std::vector<std::pair<int32_t, ControlHandler>> handlers_;
};

// Calls the procedure a subclassed window had before, kept in its user-data slot.
LRESULT callPreviousProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace rendlow::ui
