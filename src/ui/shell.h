#pragma once

#include "ui/control_registry.h"
#include "ui/win32.h"
#include "ui/window_info.h"

namespace rendlow::ui {

// The program's one top-level window with the registry of its controls. The desktop program
// makes one; the tests make one per case.
class Shell {
public:
  // Makes the registry, which initialises the common controls before any control exists.
  Shell() = default;
  Shell(const Shell&) = delete;
  Shell& operator=(const Shell&) = delete;
  // Detaches the window from the registry first, so its destruction posts no quit message.
  ~Shell();

  // Registers the window class, creates the main window at its initial client size and shows it
  // with `showCommand`, then attaches the registry so the window procedure starts routing.
  // False when the class cannot be registered or the window cannot be created.
  bool open(HINSTANCE instance, int showCommand);

  WindowInfo& window() { return window_; }
  ControlRegistry& registry() { return registry_; }

private:
  WindowInfo window_;
  ControlRegistry registry_;
};

}  // namespace rendlow::ui
