#pragma once

#include <cstdint>
#include <set>
#include <string>

#include "app/application.h"
#include "ui/control_registry.h"
#include "ui/win32.h"

namespace rendlow::ui {

class ListViewInfo;

// The track table and the settings group beside it: which rows are selected, what the group
// shows for them, and how an update writes the group back into every selected row. It holds no
// settings of its own; they live in the application's tracks and rowSettings.
class TrackEditor {
public:
  TrackEditor(Application& app, ControlRegistry& registry) : app_(app), registry_(registry) {}

  const std::set<int32_t>& selectedRows() const { return selectedRows_; }
  void clearSelection() { selectedRows_.clear(); }

  // Shows a record in columns 1 to 10 of row `row`; nothing for a negative row.
  void refreshRow(int32_t row, const TrackSettings& settings);
  // Shows the settings of `selection` in the settings group: values the rows share, empty boxes
  // where they differ, and the rows' track names as the group's caption.
  void refreshEditFields(std::set<int32_t> selection);

  // Code 78 of the track table: mouse clicks refresh the settings group; every change of a
  // row's state updates the selection and the row's check state in its settings.
  int32_t onTrackListNotify(ControlItem& control, int32_t code, WPARAM wParam, LPARAM lParam);
  // Code 0 of the update button: writes the settings group into every selected row. Empty boxes
  // and the empty drop-down keep each track's own value.
  int32_t onUpdate(ControlItem& control, int32_t code, WPARAM wParam, LPARAM lParam);

private:
  // The name of the track shown in row `row`; false when the row has no track.
  bool rowTrackName(int32_t row, std::string& name) const;
  bool rowHasTempo(int32_t row) const;
  ListViewInfo* trackTable() const;
  void onRowClicked(int32_t row);
  void onRowChanged(int32_t row);
  void showNoTrack();
  void showMerged(const std::set<int32_t>& selection, const TrackSettings& merged);
  TrackSettings readEditRecord() const;

  Application& app_;
  ControlRegistry& registry_;
  std::set<int32_t> selectedRows_;
};

}  // namespace rendlow::ui
