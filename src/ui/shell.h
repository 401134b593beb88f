#pragma once

#include <functional>
#include <string>

#include "ui/control.h"
#include "ui/menu_bar.h"
#include "ui/win32.h"

namespace rendlow::ui {

inline constexpr int kInitialClientWidth = 640;
inline constexpr int kInitialClientHeight = 470;

// The program's one top-level window, of class "Windows", with its menu bar, and the font every
// control and the menu bar show their text in, chosen from the fonts installed. The desktop program makes one; the tests make one per case.
class Shell {
public:
  // Initialises the common controls, which the list view needs, before any control exists.
  Shell();
  Shell(const Shell&) = delete;
  Shell& operator=(const Shell&) = delete;
  // Destroys the window without ending the thread's message loop, then the font.
  ~Shell();

  // Registers the window class, creates the window with its menu bar, a client area of 640 × 470
  // under the menu bar, and the font, and shows the window with `showCommand`. False when the
  // class cannot be registered or the window or the font cannot be made.
  bool open(HINSTANCE instance, int showCommand);

  // The caption: the program's name, then `status` when there is one.
  void showStatus(const std::wstring& status);

  // Enables the menu's commands that work on the loaded song, or grays them.
  void enableSongCommands(bool enabled);

  HWND window() const { return window_; }
  // What controls are made in on the window itself.
  Parent parent() const { return {window_, font_}; }
  // The font every text of the program shows in, the message boxes' too.
  HFONT font() const { return font_; }
  int clientWidth() const { return clientWidth_; }

  // The client area took a new size.
  std::function<void(int width, int height)> onResize;
  // The first file of a drop on the window or on a group box.
  std::function<void(const std::wstring& path)> onFileDropped;
  // A command chosen in the menu (ids::kMakeKeysounds, ids::kCutFromStems, ids::kAboutStems, ids::kFreshChart).
  std::function<void(int command)> onMenuCommand;
  // The user asked to close the window; it closes when this answers true (or is not set).
  std::function<bool()> onClose;

private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
  HFONT font_ = nullptr;
  MenuBar menuBar_;
  int clientWidth_ = kInitialClientWidth;
};

// Runs the thread's message loop until the quit message; returns its code. The dialog keys (Tab,
// Shift+Tab) move the focus through the controls of `window`.
int runMessageLoop(HWND window);

}  // namespace rendlow::ui
