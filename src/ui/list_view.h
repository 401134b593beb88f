#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "ui/control.h"

namespace rendlow::ui {

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

}  // namespace rendlow::ui
