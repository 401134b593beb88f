#include "ui/shell.h"

#include "ui/main_window.h"

namespace rendlow::ui {

Shell::~Shell() {
  if (!window_.handle) return;
  SetWindowLongPtrA(window_.handle, GWLP_USERDATA, 0);
  if (window_.deviceContext) ReleaseDC(window_.handle, window_.deviceContext);
  DestroyWindow(window_.handle);
}

bool Shell::open(HINSTANCE instance, int showCommand) {
  window_ = WindowInfo{};
  window_.instance = instance;
  if (!registerMainWindowClass(instance)) return false;
  registry_.mainWindow = &window_;
  const SIZE outer = outerWindowSize(window_.initialWidth, window_.initialHeight);
  window_.handle = CreateWindowExA(WS_EX_ACCEPTFILES, kMainWindowClass, kMainWindowTitle,
                                   WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX, CW_USEDEFAULT,
                                   CW_USEDEFAULT, outer.cx, outer.cy, nullptr, nullptr, instance, nullptr);
  if (!window_.handle) return false;
  window_.deviceContext = GetDC(window_.handle);
  ShowWindow(window_.handle, showCommand);
  registry_.attachTo(window_.handle);
  return true;
}

}  // namespace rendlow::ui
