#include "ui/list_view.h"

#include <optional>

#include "base/text.h"
#include "ui/dropped_files.h"
#include "ui/window_text.h"

namespace rendlow::ui {

namespace {

constexpr UINT kStateImageMask = 0xF000;
constexpr UINT kUncheckedImage = 1;
constexpr UINT kCheckedImage = 2;
// Posted to a list view to place its header tips once a drag has resized a column.
constexpr UINT kPlaceTips = WM_APP + 1;

}  // namespace

void ListView::create(const Parent& parent, int id, const Bounds& at) {
  Control::create(
      WC_LISTVIEWW, parent, id, at, "",
      WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS,
      WS_EX_ACCEPTFILES);
  if (!handle()) return;
  constexpr DWORD kExtended = LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT;
  SendMessageW(handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, kExtended, kExtended);
  DragAcceptFiles(handle(), TRUE);
  tips_ =
      CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
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
    SendMessageW(header(), HDM_GETITEMRECT, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&tool.rect));
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

}  // namespace rendlow::ui
