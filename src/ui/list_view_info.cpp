#include "ui/list_view_info.h"

#include "base/text.h"
#include "ui/control_registry.h"
#include "ui/win32.h"

namespace rendlow::ui {

namespace {

constexpr DWORD kListStyle =
    WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS;
constexpr DWORD kExtendedListStyle = LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT;
constexpr UINT kStateImageMask = 0xF000;
constexpr UINT kUncheckedImage = 1;
constexpr UINT kCheckedImage = 2;

}  // namespace

void ListViewInfo::createWithoutText(int32_t id, int x, int y, int width, int height) {
  ControlItem::create(id, x, y, width, height, "");
  createNativeWindow(WC_LISTVIEWA, "", kListStyle, WS_EX_ACCEPTFILES, x, y, width, height);
  if (!getHandle()) return;
  DragAcceptFiles(getHandle(), TRUE);
  subclass(listViewWindowProc);
}

void ListViewInfo::addColumn(int width, std::string_view text) {
  columns_.push_back(boundedText(text));
  const int index = columnCount() - 1;
  LVCOLUMNA column{};
  column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
  column.fmt = LVCFMT_LEFT;
  column.cx = width;
  column.pszText = columns_.back().data();
  column.iSubItem = index;
  SendMessageA(getHandle(), LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
  SendMessageA(getHandle(), LVM_SETEXTENDEDLISTVIEWSTYLE, kExtendedListStyle, kExtendedListStyle);
}

void ListViewInfo::addRow(int32_t subItem, std::string_view text) {
  rows_.push_back(boundedText(text));
  const int32_t row = rowCount() - 1;
  LVITEMA item{};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.iSubItem = subItem;
  item.pszText = rows_.back().data();
  SendMessageA(getHandle(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  setChecked(row, true);
}

void ListViewInfo::setCell(int32_t row, int32_t column, std::string_view text) {
  std::string cell = boundedText(text);
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = cell.data();
  SendMessageA(getHandle(), LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void ListViewInfo::deleteRow(int32_t row) {
  if (row < 0 || row >= rowCount()) return;
  rows_.erase(rows_.begin() + row);
  SendMessageA(getHandle(), LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
}

void ListViewInfo::deletePendingRows() {
  int32_t alreadyDeleted = 0;
  for (const int32_t row : pendingDeletes) deleteRow(row - alreadyDeleted++);
}

void ListViewInfo::clearRows() {
  while (!rows_.empty()) {
    rows_.erase(rows_.begin());
    SendMessageA(getHandle(), LVM_DELETEALLITEMS, 0, 0);
  }
}

void ListViewInfo::setChecked(int32_t row, bool flag) {
  LVITEMA item{};
  item.stateMask = kStateImageMask;
  item.state = INDEXTOSTATEIMAGEMASK(flag ? kCheckedImage : kUncheckedImage);
  SendMessageA(getHandle(), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

bool ListViewInfo::isChecked(int32_t row) const {
  const auto state = static_cast<UINT>(
      SendMessageA(getHandle(), LVM_GETITEMSTATE, static_cast<WPARAM>(row), kStateImageMask));
  return (state & kStateImageMask) >> 12 != kUncheckedImage;
}

bool ListViewInfo::isSelected(int32_t row) const {
  return SendMessageA(getHandle(), LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) != 0;
}

LRESULT CALLBACK listViewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DROPFILES) {
    const ControlRegistry* registry = ControlRegistry::of(window);
    if (ControlItem* control = registry ? registry->findByHandle(window) : nullptr)
      control->handleMessage(WM_DROPFILES, wParam, lParam);
    return 0;
  }
  return callPreviousProcedure(window, message, wParam, lParam);
}

}  // namespace rendlow::ui
