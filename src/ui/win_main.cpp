// The desktop program's entry point: one application, one main window with its form, and the
// message loop until the window is closed. Progress lines go to standard output.
#include <iostream>

#include "app/application.h"
#include "ui/main_form.h"
#include "ui/shell.h"
#include "ui/win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  rendlow::Application app(&std::cout);
  rendlow::ui::Shell shell;
  // Without a window there is nothing to show or wait for.
  if (!shell.open(instance, showCommand)) return 1;
  rendlow::ui::MainForm form(app, shell);
  form.build();
  return rendlow::ui::runMessageLoop(shell.window());
}
