#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/application.h"
#include "app/form.h"
#include "app/keysounds.h"
#include "app/output_plan.h"
#include "base/file_lock.h"
#include "ui/button.h"
#include "ui/group.h"
#include "ui/label.h"
#include "ui/list_view.h"
#include "ui/shell.h"
#include "ui/text_box.h"
#include "ui/track_editor.h"

namespace rendlow::ui {

// The one form of the program: the input-file row and the track table, the settings group, the
// chart header group, the output-file box and the three output buttons, and what the menu's
// commands do. It is what the load and output flows see of the window (the Form interface).
class MainForm : public Form {
public:
  MainForm(Application& app, Shell& shell);
  ~MainForm() override;

  // Makes every control in its fixed order, with its callbacks, columns and items, and lets
  // files dropped on the window load. Until a song loads, nothing can be written.
  void build();

  std::string text(Box box) const override;
  void setText(Box box, std::string_view text) override;
  void clearSelection() override;
  void clearRows() override;
  void addRow(std::string_view trackName) override;
  void refreshRow(int row, const TrackSettings& settings) override;
  // A message box owned by the main window (see showMessageBox), with the icon of its tone and
  // one OK button.
  void showMessage(const Message& message, Tone tone) override;
  // The same box with the action's button before OK; true when the user chose the action.
  bool offerAction(const Message& message, Tone tone, const Message& action) override;
  // In the window's caption, after the program's name.
  void showStatus(const Message& status) override;

private:
  TextBox& box(Box box);
  const TextBox& box(Box box) const;
  Label& label(const Parent& parent, int id, const Bounds& at, const char* text);
  void buildSongFrame();
  void buildOutputRow();
  void buildChartGroup();
  // The buttons that work on the loaded song can be pressed, or are grayed.
  void enableSongControls(bool enabled);
  void layout(int width, int height);
  // Whether the window may close: the group's changes are written into the rows, and settings no
  // file holds yet are saved if the user wishes.
  bool mayClose();
  // The folder of the song in the input box; empty when it names none.
  std::wstring songFolder() const;

  void browse();
  void load(const std::wstring& path);
  // What the output buttons and the closing question write.
  // With `freshChart`, the chart comes from the song alone (the menu's "曲だけから作り直す").
  void output(OutputChoice choice, bool freshChart = false);
  void cutFromStems();
  // The menu's "キー音を作成": the three files, then the sound files rendered with the synthesizer.
  void makeKeysoundsWithSynth();
  // The output of "Midi&&BMS出力", then the sound files `request` asks for, told in one message;
  // nothing is written when an input of the sounds is missing.
  void outputWithSounds(const KeysoundRequest& request);
  // The song's run lock for one output (see takeRunLock); nothing, told, when another run holds it.
  Result<std::optional<FileLock>> lockSong();
  // Whether the texts an output writes (the output path, the header texts) fit the engine; the
  // user is told of the first that does not.
  bool outputTextsFit();
  // The engine's bytes for a path the user chose; nothing, once the user is told, when the engine
  // could not reach the file the path names.
  std::optional<std::string> enginePath(const std::wstring& path);
  // Shows a message about a name that only UTF-16 holds, put where the message names it.
  void tellNaming(const Message& message, const std::wstring& name);
  // The box's answer (see showMessageBox); an empty `action` offers no button of its own.
  int show(const std::wstring& text, Tone tone, const std::wstring& action = {});

  Application& app_;
  Shell& shell_;
  Group midiGroup_;
  TextBox inputFile_;
  Button browse_;
  ListView table_;
  TextBox outputFile_;
  Label* outputLabel_ = nullptr;
  Button chartOutput_, midiOutput_, saveSettings_;
  TrackEditor editor_;
  Group chartGroup_;
  TextBox genre_, title_, artist_;
  std::vector<std::unique_ptr<Label>> labels_;
  bool unsaved_ = false;  // settings changed since the song loaded or a settings file was written
};

}  // namespace rendlow::ui
