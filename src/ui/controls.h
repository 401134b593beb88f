#pragma once

// The controls of the desktop program: thin objects over native child windows. Each control's
// window is subclassed with the object itself as its reference data, so what happens to the
// window reaches the object without a table of windows. A parent hears of its children's clicks
// and notifications; it hands them back to the child (see reflectToChild), whose object calls the
// callback the form set. Texts go in and out as the engine's bytes (see window_text.h).

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
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

private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR self);

  HWND handle_ = nullptr;
};

// A group box. The controls inside it are its child windows, so their commands and notifications
// arrive here first; they go back to the controls. Files dropped on it go to the main window. Tab
// goes into it, through its controls, and on.
class Group : public Control {
public:
  void create(const Parent& parent, int id, const Bounds& at, std::string_view caption);
  // What the controls inside the group are made in.
  Parent inside() const { return {handle(), font_}; }

protected:
  bool intercept(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
  HFONT font_ = nullptr;
};

// A fixed caption. Inside a group box it shows on the button face, so the frame stays visible.
class Label : public Control {
public:
  void create(const Parent& parent, int id, const Bounds& at, std::string_view text);

protected:
  HBRUSH backgroundInGroup(HDC context) override;
};

class Button : public Control {
public:
  void create(const Parent& parent, int id, const Bounds& at, std::string_view text);
  std::function<void()> onClick;

protected:
  void command(WORD code) override;
};

// An automatic check box, made unchecked: it shows no state until it is given one.
class CheckBox : public Control {
public:
  void create(const Parent& parent, int id, const Bounds& at);
  bool isChecked() const;
  void setChecked(bool checked);

  // The user clicked it; setChecked tells nothing.
  std::function<void()> onClick;

protected:
  HBRUSH backgroundInGroup(HDC context) override;
  void command(WORD code) override;
};

// What an edit box lets the user type: anything, or digits only.
enum class Typing { Any, Digits };

// A one-line edit box. Enter never reaches the box itself (it would beep), nor the dialog keys of
// the window's message loop; it calls onEnter.
class TextBox : public Control {
public:
  void create(const Parent& parent, int id, const Bounds& at, Typing typing = Typing::Any);
  // Decimal for 0 and up; nothing for a negative value (a mixed or kept value).
  void setNumber(int32_t value);
  std::wstring wideText() const;
  // The text as the engine's bytes, at most 511 of them; nothing when it holds a character that
  // code page 932 lacks.
  std::optional<std::string> text() const;

  std::function<void()> onEnter;
  // The text changed, by the user or by setText.
  std::function<void()> onChange;

protected:
  bool intercept(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void command(WORD code) override;
};

// A drop-down list to choose from.
class DropDown : public Control {
public:
  // `at.height` is the closed height; the window gets ten times that, room for the opened list.
  void create(const Parent& parent, int id, const Bounds& at);
  void addItem(std::string_view text);
  int selectedIndex() const;  // -1 when none
  void select(int index);     // -1 clears the selection

  // The user chose an item; select tells nothing.
  std::function<void()> onChange;

protected:
  void command(WORD code) override;
};

// A report-style list view with a check box on every row, grid lines and whole-row selection.
class ListView : public Control {
public:
  void create(const Parent& parent, int id, const Bounds& at);
  // Appends a column that shows the sub-item of its own index, with `tip` as the tooltip of its
  // header.
  void addColumn(int width, std::string_view header, std::string_view tip);
  int columnCount() const;
  void setColumnWidth(int column, int width);
  // Appends a checked row whose first column shows `text`.
  void addRow(std::string_view text);
  void setCell(int row, int column, std::string_view text);
  void clearRows();
  int rowCount() const;
  // A row counts as checked unless its check box shows unchecked: a row without one counts too.
  bool isChecked(int row) const;
  void setChecked(int row, bool checked);
  bool isSelected(int row) const;
  // Selects exactly row `row`, as a click on it does.
  void selectOnly(int row);

  // A click on row `row`, or on the empty space below the rows (-1).
  std::function<void(int row)> onClick;
  // Something of the row changed: its check box, its selection.
  std::function<void(int row)> onChange;
  // The first file of a drop on the table; the list view itself would ignore it.
  std::function<void(const std::wstring& path)> onDrop;

protected:
  void notify(const NMHDR& header) override;
  bool intercept(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
  HWND header() const;
  // Each header's tooltip covers the header as it now lies.
  void placeTips();

  HWND tips_ = nullptr;
};

// The first file of a drop, and the drop released; nothing when the drop holds no file.
std::optional<std::wstring> takeFirstDroppedFile(HDROP drop);

}  // namespace rendlow::ui
