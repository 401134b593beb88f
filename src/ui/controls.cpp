#include "ui/controls.h"

#include <string>

#include "base/text.h"
#include "ui/window_text.h"

namespace rendlow::ui {

namespace {

// Where the toolkit's reflected messages start: a parent's message M reaches the child as
// kReflected + M, out of the range any system control class answers.
constexpr UINT kReflected = WM_APP + 0x1000;

constexpr WPARAM kEnter = L'\r';
constexpr UINT kStateImageMask = 0xF000;
constexpr UINT kUncheckedImage = 1;
constexpr UINT kCheckedImage = 2;
// Posted to a list view to place its header tips once a drag has resized a column.
constexpr UINT kPlaceTips = WM_APP + 1;

HWND childOf(UINT message, LPARAM lParam) {
  if (message == WM_NOTIFY) return lParam ? reinterpret_cast<const NMHDR*>(lParam)->hwndFrom : nullptr;
  return reinterpret_cast<HWND>(lParam);
}

HBRUSH buttonFace(HDC context) {
  SetBkColor(context, GetSysColor(COLOR_BTNFACE));
  return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

}  // namespace

LRESULT reflectToChild(UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND child = childOf(message, lParam);
  return child ? SendMessageW(child, kReflected + message, wParam, lParam) : 0;
}

// --- Control -------------------------------------------------------------------------------

Control::~Control() {
  if (handle_) RemoveWindowSubclass(handle_, procedure, 0);
}

void Control::setText(std::string_view text) { SetWindowTextW(handle_, toWindowText(text).c_str()); }

void Control::enable(bool enabled) { EnableWindow(handle_, enabled ? TRUE : FALSE); }

void Control::create(const wchar_t* windowClass, const Parent& parent, int id, const Bounds& at,
                     std::string_view text, DWORD style, DWORD extendedStyle) {
  handle_ = CreateWindowExW(
      extendedStyle, windowClass, toWindowText(text).c_str(), style, at.x, at.y, at.width, at.height,
      parent.window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  if (!handle_) return;
  SetWindowSubclass(handle_, procedure, 0, reinterpret_cast<DWORD_PTR>(this));
  SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(parent.font), FALSE);
}

LRESULT CALLBACK Control::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR self) {
  Control& control = *reinterpret_cast<Control*>(self);
  switch (message) {
    case kReflected + WM_COMMAND:
      control.command(HIWORD(wParam));
      return 0;
    case kReflected + WM_NOTIFY:
      control.notify(*reinterpret_cast<const NMHDR*>(lParam));
      return 0;
    case kReflected + WM_CTLCOLORSTATIC:
    case kReflected + WM_CTLCOLORBTN:
      return reinterpret_cast<LRESULT>(control.backgroundInGroup(reinterpret_cast<HDC>(wParam)));
    case WM_NCDESTROY:
      RemoveWindowSubclass(window, procedure, 0);
      control.handle_ = nullptr;
      break;
    default:
      if (LRESULT result = 0; control.intercept(message, wParam, lParam, result)) return result;
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

// --- Group, Label, Button, CheckBox ----------------------------------------------------------

void Group::create(const Parent& parent, int id, const Bounds& at, std::string_view caption) {
  // Not a stop of its own: the dialog keys go through the controls inside it.
  Control::create(WC_BUTTONW, parent, id, at, caption, WS_CHILD | WS_VISIBLE | BS_GROUPBOX,
                  WS_EX_ACCEPTFILES | WS_EX_CONTROLPARENT);
  font_ = parent.font;
  if (handle()) DragAcceptFiles(handle(), TRUE);
}

bool Group::intercept(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
      result = reflectToChild(message, wParam, lParam);
      return true;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      result = reflectToChild(message, wParam, lParam);
      return result != 0;
    case WM_DROPFILES:
      result = SendMessageW(GetAncestor(handle(), GA_ROOT), message, wParam, lParam);
      return true;
    default:
      return false;
  }
}

void Label::create(const Parent& parent, int id, const Bounds& at, std::string_view text) {
  Control::create(WC_STATICW, parent, id, at, text, WS_CHILD | WS_VISIBLE);
}

HBRUSH Label::backgroundInGroup(HDC context) { return buttonFace(context); }

void Button::create(const Parent& parent, int id, const Bounds& at, std::string_view text) {
  Control::create(WC_BUTTONW, parent, id, at, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON);
}

void Button::command(WORD code) {
  if (code == BN_CLICKED && onClick) onClick();
}

void CheckBox::create(const Parent& parent, int id, const Bounds& at) {
  Control::create(WC_BUTTONW, parent, id, at, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX);
}

bool CheckBox::isChecked() const { return SendMessageW(handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void CheckBox::setChecked(bool checked) {
  SendMessageW(handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

HBRUSH CheckBox::backgroundInGroup(HDC context) { return buttonFace(context); }

void CheckBox::command(WORD code) {
  if (code == BN_CLICKED && onClick) onClick();
}

// --- TextBox, DropDown -----------------------------------------------------------------------

void TextBox::create(const Parent& parent, int id, const Bounds& at, Typing typing) {
  Control::create(WC_EDITW, parent, id, at, "",
                  WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL |
                      (typing == Typing::Digits ? ES_NUMBER : 0));
}

void TextBox::setNumber(int32_t value) { setText(value >= 0 ? std::to_string(value) : std::string()); }

std::wstring TextBox::wideText() const {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(handle())) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(handle(), text.data(), static_cast<int>(text.size()))));
  return text;
}

std::optional<std::string> TextBox::text() const {
  std::optional<std::string> bytes = toEngineText(wideText());
  if (bytes) *bytes = boundedText(*bytes);
  return bytes;
}

bool TextBox::intercept(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (message == WM_GETDLGCODE) {
    // Enter stays a key of the box, so it reaches the box as a character.
    const auto* key = reinterpret_cast<const MSG*>(lParam);
    result = DefSubclassProc(handle(), message, wParam, lParam);
    if (key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN) result |= DLGC_WANTMESSAGE;
    return true;
  }
  if (message != WM_CHAR || wParam != kEnter) return false;
  if (onEnter) onEnter();
  result = 0;
  return true;
}

void TextBox::command(WORD code) {
  if (code == EN_CHANGE && onChange) onChange();
}

void DropDown::create(const Parent& parent, int id, const Bounds& at) {
  Control::create(WC_COMBOBOXW, parent, id, {at.x, at.y, at.width, at.height * 10}, "",
                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST, WS_EX_ACCEPTFILES);
}

void DropDown::addItem(std::string_view text) {
  const std::wstring item = toWindowText(text);
  SendMessageW(handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

int DropDown::selectedIndex() const {
  const LRESULT selected = SendMessageW(handle(), CB_GETCURSEL, 0, 0);
  return selected == CB_ERR ? -1 : static_cast<int>(selected);
}

void DropDown::select(int index) { SendMessageW(handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0); }

void DropDown::command(WORD code) {
  if (code == CBN_SELCHANGE && onChange) onChange();
}

// --- ListView --------------------------------------------------------------------------------

void ListView::create(const Parent& parent, int id, const Bounds& at) {
  Control::create(
      WC_LISTVIEWW, parent, id, at, "",
      WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS,
      WS_EX_ACCEPTFILES);
  if (!handle()) return;
  constexpr DWORD kExtended = LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT;
  SendMessageW(handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, kExtended, kExtended);
  DragAcceptFiles(handle(), TRUE);
  tips_ = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
}

HWND ListView::header() const { return reinterpret_cast<HWND>(SendMessageW(handle(), LVM_GETHEADER, 0, 0)); }

int ListView::columnCount() const { return static_cast<int>(SendMessageW(header(), HDM_GETITEMCOUNT, 0, 0)); }

void ListView::setColumnWidth(int column, int width) {
  SendMessageW(handle(), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(width, 0));
  placeTips();
}

// The tool of column n has the id n, so the tips follow the columns whatever their widths.
void ListView::placeTips() {
  for (int column = 0; column < columnCount(); ++column) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = header();
    tool.uId = static_cast<UINT_PTR>(column);
    SendMessageW(header(), HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&tool.rect));
    SendMessageW(tips_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

void ListView::addColumn(int width, std::string_view header, std::string_view tip) {
  const int index = columnCount();
  std::wstring text = toWindowText(header);
  LVCOLUMNW column{};
  column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
  column.fmt = LVCFMT_LEFT;
  column.cx = width;
  column.pszText = text.data();
  column.iSubItem = index;
  SendMessageW(handle(), LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
  std::wstring tipText = toWindowText(tip);
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_SUBCLASS;
  tool.hwnd = this->header();
  tool.uId = static_cast<UINT_PTR>(index);
  tool.lpszText = tipText.data();
  SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  placeTips();
}

void ListView::addRow(std::string_view text) {
  std::wstring cell = toWindowText(boundedText(text));
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = rowCount();
  item.pszText = cell.data();
  const int row =
      static_cast<int>(SendMessageW(handle(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  setChecked(row, true);
}

void ListView::setCell(int row, int column, std::string_view text) {
  std::wstring cell = toWindowText(boundedText(text));
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = cell.data();
  SendMessageW(handle(), LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void ListView::clearRows() { SendMessageW(handle(), LVM_DELETEALLITEMS, 0, 0); }

int ListView::rowCount() const { return static_cast<int>(SendMessageW(handle(), LVM_GETITEMCOUNT, 0, 0)); }

bool ListView::isChecked(int row) const {
  const auto state =
      static_cast<UINT>(SendMessageW(handle(), LVM_GETITEMSTATE, static_cast<WPARAM>(row), kStateImageMask));
  return (state & kStateImageMask) >> 12 != kUncheckedImage;
}

void ListView::setChecked(int row, bool checked) {
  LVITEMW item{};
  item.stateMask = kStateImageMask;
  item.state = INDEXTOSTATEIMAGEMASK(checked ? kCheckedImage : kUncheckedImage);
  SendMessageW(handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

bool ListView::isSelected(int row) const {
  return SendMessageW(handle(), LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) != 0;
}

void ListView::selectOnly(int row) {
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void ListView::notify(const NMHDR& header) {
  if (header.code == NM_CLICK && onClick) {
    onClick(reinterpret_cast<const NMITEMACTIVATE&>(header).iItem);
  } else if (header.code == LVN_ITEMCHANGED && onChange) {
    const int row = reinterpret_cast<const NMLISTVIEW&>(header).iItem;
    if (row >= 0) onChange(row);
  }
}

bool ListView::intercept(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  // A header the user dragged wider moves the tips after it; the list view still hears of it.
  if (message == WM_NOTIFY) {
    const UINT code = reinterpret_cast<const NMHDR*>(lParam)->code;
    if (code == HDN_ENDTRACKW || code == HDN_ENDTRACKA) PostMessageW(handle(), kPlaceTips, 0, 0);
    return false;
  }
  if (message == kPlaceTips) {
    placeTips();
    result = 0;
    return true;
  }
  if (message != WM_DROPFILES) return false;
  const std::optional<std::wstring> path = takeFirstDroppedFile(reinterpret_cast<HDROP>(wParam));
  if (path && onDrop) onDrop(*path);
  result = 0;
  return true;
}

std::optional<std::wstring> takeFirstDroppedFile(HDROP drop) {
  if (!drop) return std::nullopt;
  std::optional<std::wstring> first;
  if (DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) > 0) {
    std::wstring name(DragQueryFileW(drop, 0, nullptr, 0) + 1, L'\0');
    name.resize(DragQueryFileW(drop, 0, name.data(), static_cast<UINT>(name.size())));
    first = std::move(name);
  }
  DragFinish(drop);
  return first;
}

}  // namespace rendlow::ui
