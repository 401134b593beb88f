#pragma once

// What every control of the desktop program shares: a thin object over one native child window.
// A control is made in two steps: the object first, then its window, by the create() of its own
// class. The window is subclassed with the object itself as its reference data, so what happens
// to the window reaches the object without a table of windows. A parent hears of its children's
// clicks and notifications; it hands them back to the child (see reflectToChild), whose object
// decodes the codes of its own kind and calls the callback the form set. Texts go in and out as
// the engine's bytes (see window_text.h).

#include <string_view>

#include "ui/win32.h"

namespace rendlow::ui {

// The window controls are made in, and the one font they all show their texts in.
struct Parent {
  HWND window = nullptr;
  HFONT font = nullptr;
};

// Where a control lies in its parent's client area.
struct Bounds {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// A parent's message about one of its children (WM_COMMAND, WM_NOTIFY, WM_CTLCOLORSTATIC,
// WM_CTLCOLORBTN), handed to the child's control; 0 when the child is not one of the toolkit's or
// does not take it.
LRESULT reflectToChild(UINT message, WPARAM wParam, LPARAM lParam);

class Control {
public:
  Control() = default;
  // The window keeps a pointer to the object, so the object stays where it was made.
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  virtual ~Control();

  HWND handle() const { return handle_; }
  // Shows `text`, the engine's bytes, as the caption or the contents.
  void setText(std::string_view text);
  // Lets the user use the control, or grays it.
  void enable(bool enabled);

protected:
  // Makes the native window as child `id` of the parent, with the parent's font.
  void create(const wchar_t* windowClass, const Parent& parent, int id, const Bounds& at,
              std::string_view text, DWORD style, DWORD extendedStyle = 0);

  // A command from the control's window (BN_CLICKED …), reflected by its parent.
  virtual void command(WORD) {}
  // A notification from the control's window, reflected by its parent.
  virtual void notify(const NMHDR&) {}
  // The brush a group box paints the control's background with; 0 for the default.
  virtual HBRUSH backgroundInGroup(HDC) { return nullptr; }
  // A message to the control's own window, before the window's procedure sees it; true when
  // taken, with the window's answer in `result`.
  virtual bool intercept(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

  // For backgroundInGroup: the text drawn on the button face, the group's own background, and
  // nothing painted behind it, so the group's frame stays visible.
  static HBRUSH onButtonFace(HDC context);

private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR self);

  HWND handle_ = nullptr;
};

}  // namespace rendlow::ui
