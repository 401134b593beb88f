#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "app/application.h"
#include "app/form.h"
#include "ui/shell.h"
#include "ui/track_editor.h"

namespace rendlow::ui {

// The one form of the program: the input-file row and the track table, the settings group, the
// chart header group, the output-file box and the three output buttons. It is what the load and
// output flows see of the window (the Form interface), over the controls in the registry.
class MainForm : public Form {
public:
  MainForm(Application& app, Shell& shell);

  // Creates every control in its fixed order (which fixes the window ids 100 to 138), with its
  // handlers, columns and items, and lets files dropped on the window load.
  void build();

  bool hasControl(int id) const override;
  std::string text(int id) const override;
  void setText(int id, std::string_view text) override;
  void clearSelection() override;
  void clearRows() override;
  void addRow(std::string_view trackName) override;
  void refreshRow(int row, const TrackSettings& settings) override;
  // A message box owned by the main window, with an empty caption and one OK button.
  void showMessage(std::string_view text) override;

  TrackEditor& editor() { return editor_; }

private:
  template <class T>
  std::shared_ptr<T> construct(HWND parent);
  template <class T>
  std::shared_ptr<T> place(HWND parent, int32_t id, int x, int y, int width, int height,
                           std::string_view text);
  void addToRegistry(std::shared_ptr<ControlItem> control);

  HWND buildMidiGroup();
  void buildOutputRow();
  void buildSettingsGroup();
  void buildChartGroup();

  void onBrowse(ControlItem& button);
  void onTrackListDrop(WPARAM drop);
  void runOutputFlow(bool writeMidi, bool writeBms);
  void load(const std::string& path);

  Application& app_;
  Shell& shell_;
  ControlRegistry& registry_;
  TrackEditor editor_;
};

}  // namespace rendlow::ui
