#pragma once

#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "ui/win32.h"

namespace rendlow::ui {

// The main window's menu bar, drawn by the program in the window's font: the system draws a
// menu in a font of its own choosing, which on a Windows that is not Japanese may lack the
// menu's kana and kanji. Items the program draws are items the system cannot read, so their
// access keys are answered here too.
class MenuBar {
public:
  MenuBar() = default;
  MenuBar(const MenuBar&) = delete;
  MenuBar& operator=(const MenuBar&) = delete;

  // "音声(&A)", whose commands wait for a song: they start grayed. The window that takes the
  // bar destroys it; the texts stay with this object, which must outlive the bar.
  HMENU create();

  // Answers the window's WM_MEASUREITEM and WM_DRAWITEM for a menu item; false for a control's.
  bool measure(MEASUREITEMSTRUCT& item, HFONT font) const;
  bool draw(const DRAWITEMSTRUCT& item, HFONT font) const;
  // For WM_MENUCHAR: the position in `menu` of this bar's item whose access key is `key`.
  std::optional<int> itemForKey(wchar_t key, HMENU menu) const;

private:
  struct Entry {
    std::wstring text;
    bool onBar = false;
  };
  const Entry* add(std::string_view text, bool onBar);
  // The entry an item of this bar carries; null for any other item.
  const Entry* entryOf(ULONG_PTR itemData) const;

  // A deque keeps each entry where it is while more are added: the items point to them.
  std::deque<Entry> entries_;
};

// The access key of a menu text: the character after its single "&" ("&&" is an ampersand).
// Nothing (0) when it has none.
wchar_t accessKeyOf(std::wstring_view text);

}  // namespace rendlow::ui
