#pragma once

#include <string>
#include <vector>

#include "ui/control_item.h"
#include "ui/win32.h"

namespace rendlow::ui {

// A report-style list view with a check box on every row, grid lines and whole-row selection.
// Its notifications reach the application as code 78 (WM_NOTIFY), files dropped on it as code 563
// (WM_DROPFILES). Keeps its own copy of the column headers and the rows' first-column texts.
class ListViewInfo : public ControlItem {
public:
  explicit ListViewInfo(ControlRegistry& registry, HWND parentHandle = nullptr)
      : ControlItem(ControlKind::ListView, registry, parentHandle) {}

  void createWithoutText(int32_t id, int x, int y, int width, int height) override;

  void setHandler(int32_t code, ControlHandler handler) { addHandler(code, std::move(handler)); }
  // Appends a column that shows the sub-item of its own index.
  void addColumn(int width, std::string_view text);
  // Appends a row whose first column shows `text`; the row starts checked.
  void addRow(int32_t subItem, std::string_view text);
  void setCell(int32_t row, int32_t column, std::string_view text);
  // Ignores a row outside the list.
  void deleteRow(int32_t row);
  // Deletes the rows at the ascending indices of `pendingDeletes`, each counted in the list as it
  // was before the first deletion.
  void deletePendingRows();
  void clearRows();
  void setChecked(int32_t row, bool flag);
  // A row counts as checked unless its check box shows unchecked; a row with no check box at all
  // counts as checked.
  bool isChecked(int32_t row) const;
  bool isSelected(int32_t row) const;
  int32_t rowCount() const { return static_cast<int32_t>(rows_.size()); }
  // Callers keep `row` in range.
  const std::string& rowText(int32_t row) const { return rows_[static_cast<std::size_t>(row)]; }
  int32_t columnCount() const { return static_cast<int32_t>(columns_.size()); }

  std::vector<int32_t> pendingDeletes;

private:
  std::vector<std::string> columns_;
  std::vector<std::string> rows_;
};

// Installed on the list view so that a file dropped on the table reaches its code-563 handler;
// the list view itself would ignore it.
LRESULT CALLBACK listViewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace rendlow::ui
