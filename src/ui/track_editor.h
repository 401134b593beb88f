#pragma once

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/application.h"
#include "base/message.h"
#include "slicer/track_fields.h"
#include "ui/button.h"
#include "ui/check_box.h"
#include "ui/drop_down.h"
#include "ui/group.h"
#include "ui/label.h"
#include "ui/list_view.h"
#include "ui/text_box.h"

namespace rendlow::ui {

// The settings group beside the track table: which rows are selected, what the group shows for
// them, and how an update writes the group back into every selected row. It holds no settings of
// its own; they live in the application's project, one per track. What the user changes in the
// group is not lost: leaving the rows it shows writes it into them, as the update button would.
class TrackEditor {
public:
  // The form's callbacks that show the editor's messages to the user: `refuseText` tells that a
  // box holds `text`, which the engine could not keep; `tell` shows a message.
  struct MessageCallbacks {
    std::function<void(const std::wstring& text)> refuseText;
    std::function<void(const Message& message)> tell;
  };
  TrackEditor(Application& app, ListView& table, MessageCallbacks messages);

  // Makes the settings group at `left` in the main window, with its boxes, labels and button.
  void build(const Parent& main, int left);
  const Group& group() const { return group_; }

  // Forgets the selection, and what the group held for it.
  void clearSelection();
  // Selects the first row and shows it, as a click on it does.
  void showFirstRow();
  // Lets the update button be pressed, or grays it.
  void enable(bool enabled) { update_.enable(enabled); }
  // Writes what the user changed in the group into the selected rows; true unless a box was
  // refused.
  bool applyChanges();
  // Shows a record in the field columns of row `row`; nothing for a negative row.
  void refreshRow(int row, const TrackSettings& settings);

  // A click on a row, or below the rows (-1), shows the selection's settings in the group.
  void rowClicked(int row);
  // A row's check box or selection changed: the selection follows, and so does the track's
  // place in the output.
  void rowChanged(int row);
  // Writes the group into every selected row. Empty boxes and the empty drop-down keep each
  // track's own value. A number outside its field's range is refused by name, its box showing
  // its last good value again, and nothing changes. False when refused.
  bool update();

  // A row's settings changed.
  std::function<void()> onRowsChanged;

private:
  // The control that shows one field in the group: a text box for a name or a number, the
  // drop-down for the split method, a check box for a flag.
  struct FieldControl {
    const TrackField* field;
    std::unique_ptr<TextBox> box;
    std::unique_ptr<DropDown> choice;
    std::unique_ptr<CheckBox> check;
    std::string lastGood;  // what the box showed before the user typed
  };
  FieldControl makeControl(const Parent& inside, const TrackField& field, const Bounds& at);
  void showSelection();
  void showNoTrack();
  void showMerged(const TrackSettings& merged);
  std::optional<TrackSettings> readEditRecord();
  // A number box's value, -1 to keep each row's; nothing, once the user is told, when it is out of
  // the field's range.
  std::optional<int32_t> readNumber(FieldControl& control, const std::string& text);
  void rememberShown();
  // The name of the track in row `row`; nothing when the row has no track.
  std::optional<std::string> rowTrackName(int row) const;
  bool rowHasTempo(int row) const;

  Application& app_;
  ListView& table_;
  MessageCallbacks messages_;
  std::set<int> selectedRows_;
  bool changed_ = false;  // the user changed the group since it last showed the rows

  Group group_;
  std::vector<FieldControl> fields_;  // in the group's order
  Button update_;
  std::vector<std::unique_ptr<Label>> labels_;
};

}  // namespace rendlow::ui
