#include "ui/main_form.h"

#include "app/load_flow.h"
#include "app/output_flow.h"
#include "base/text.h"
#include "ui/button_info.h"
#include "ui/checkbox_info.h"
#include "ui/dropdown_box_info.h"
#include "ui/form_ids.h"
#include "ui/group_info.h"
#include "ui/label_info.h"
#include "ui/list_view_info.h"
#include "ui/song_file_choice.h"
#include "ui/textbox_info.h"

namespace rendlow::ui {

namespace {

constexpr int32_t kClicked = BN_CLICKED;
constexpr int32_t kNotify = WM_NOTIFY;
constexpr int32_t kDroppedFiles = WM_DROPFILES;

// The track table's columns: header and width in pixels. Column i shows sub-item i.
constexpr std::pair<const char*, int> kTrackColumns[] = {
    {"トラック名", 60},   {"定義名", 50},     {"Vel分割幅", 40},    {"音符間隔", 40},
    {"グリッド単位", 40}, {"分割方式", 60},   {"多重閾値", 40},     {"BPM無視", 40},
    {"CC分割幅", 40},     {"CC判定間隔", 40}, {"#WAV定義間隔", 40},
};

// The settings group's rows below the definition name: box id, label id, label text. Each row
// is 25 pixels below the one before; the label sits 5 pixels lower than its box.
struct SettingsRow {
  int32_t boxId;
  int32_t labelId;
  const char* label;
};

}  // namespace

MainForm::MainForm(Application& app, Shell& shell)
    : app_(app), shell_(shell), registry_(shell.registry()), editor_(app, shell.registry()) {}

template <class T>
std::shared_ptr<T> MainForm::construct(HWND parent) {
  return std::make_shared<T>(registry_, parent);
}

template <class T>
std::shared_ptr<T> MainForm::place(HWND parent, int32_t id, int x, int y, int width, int height,
                                   std::string_view text) {
  auto control = construct<T>(parent);
  control->create(id, x, y, width, height, text);
  addToRegistry(control);
  return control;
}

void MainForm::addToRegistry(std::shared_ptr<ControlItem> control) { registry_.add(std::move(control)); }

void MainForm::build() {
  buildMidiGroup();
  buildOutputRow();
  buildSettingsGroup();
  buildChartGroup();
  shell_.window().fileDropped = [this](const std::string& path) { load(path); };
}

HWND MainForm::buildMidiGroup() {
  const HWND group =
      place<GroupInfo>(nullptr, ids::kMidiGroup, 5, 5, 340, 320, "Midiファイル情報")->getHandle();
  place<TextboxInfo>(group, ids::kInputFile, 80, 20, 210, 20, "");
  place<LabelInfo>(group, ids::kInputLabel, 10, 25, 70, 20, "入力ファイル");
  auto browse = construct<ButtonInfo>(group);
  browse->create(ids::kBrowseButton, 290, 20, 40, 20, "...");
  browse->setHandler(kClicked, [this](ControlItem& button, int32_t, WPARAM, LPARAM) {
    onBrowse(button);
    return 0;
  });
  addToRegistry(browse);

  auto table = construct<ListViewInfo>(group);
  table->createWithoutText(ids::kTrackTable, 10, 45, 320, 260);
  for (const auto& [header, width] : kTrackColumns) table->addColumn(width, header);
  table->setHandler(kNotify, [this](ControlItem& control, int32_t code, WPARAM wParam, LPARAM lParam) {
    return editor_.onTrackListNotify(control, code, wParam, lParam);
  });
  table->setHandler(kDroppedFiles, [this](ControlItem&, int32_t, WPARAM wParam, LPARAM) {
    onTrackListDrop(wParam);
    return 0;
  });
  addToRegistry(table);
  return group;
}

void MainForm::buildOutputRow() {
  place<TextboxInfo>(nullptr, ids::kOutputFile, 85, 340, 250, 20, "");
  place<LabelInfo>(nullptr, ids::kOutputLabel, 15, 345, 70, 20, "出力ファイル");
  const struct {
    int32_t id;
    int x;
    const char* text;
    bool writeMidi;
    bool writeBms;
  } buttons[] = {
      {ids::kChartOutputButton, 10, "Midi&&BMS出力", true, true},
      {ids::kMidiOutputButton, 125, "Midi出力", true, false},
      {ids::kSaveSettingsButton, 240, "設定保存", false, false},
  };
  for (const auto& entry : buttons) {
    auto button = construct<ButtonInfo>(nullptr);
    button->create(entry.id, entry.x, 400, 100, 40, entry.text);
    button->setHandler(kClicked, [this, writeMidi = entry.writeMidi, writeBms = entry.writeBms](
                                     ControlItem&, int32_t, WPARAM, LPARAM) {
      runOutputFlow(writeMidi, writeBms);
      return 0;
    });
    addToRegistry(button);
  }
}

void MainForm::buildSettingsGroup() {
  const int left = shell_.window().width - 285;
  const HWND group = place<GroupInfo>(nullptr, ids::kSettingsGroup, left, 5, 260, 320, "")->getHandle();
  place<TextboxInfo>(group, ids::kDefinitionName, 130, 20, 120, 20, "");
  place<LabelInfo>(group, 108, 10, 25, 120, 20, "定義名");
  const SettingsRow upper[] = {
      {ids::kVelocitySplitWidth, 110, "Velocity分割間隔"},
      {ids::kNoteInterval, 112, "音符間隔"},
      {ids::kGridUnit, 114, "配置グリッド間隔"},
      {ids::kMultipleThreshold, 116, "多重定義間隔（閾値）"},
  };
  int y = 45;
  for (const auto& row : upper) {
    place<TextboxInfo>(group, row.boxId, 130, y, 120, 20, "");
    place<LabelInfo>(group, row.labelId, 10, y + 5, 120, 20, row.label);
    y += 25;
  }
  auto methods = construct<DropdownBoxInfo>(group);
  methods->createWithoutText(ids::kSplitMethod, 130, 145, 120, 20);
  for (const char* item : {"単音", "和音", "レガート"}) methods->addItem(item);
  addToRegistry(methods);
  place<LabelInfo>(group, 118, 10, 150, 120, 20, "分割タイプ");
  place<CheckboxInfo>(group, ids::kIgnoreBpm, 130, 170, 120, 20, "");
  place<LabelInfo>(group, 120, 10, 175, 120, 20, "BPM無視");
  const SettingsRow lower[] = {
      {ids::kCcSplitWidth, 122, "CC分割間隔"},
      {ids::kCcInterval, 124, "CC判定間隔"},
      {ids::kWavDefinitionGap, 126, "#WAV定義の間隔"},
  };
  y = 195;
  for (const auto& row : lower) {
    place<TextboxInfo>(group, row.boxId, 130, y, 120, 20, "");
    place<LabelInfo>(group, row.labelId, 10, y + 5, 120, 20, row.label);
    y += 25;
  }
  auto update = construct<ButtonInfo>(group);
  update->create(ids::kUpdateButton, 190, 275, 60, 30, "更新");
  update->setHandler(kClicked, [this](ControlItem& control, int32_t code, WPARAM wParam, LPARAM lParam) {
    return editor_.onUpdate(control, code, wParam, lParam);
  });
  addToRegistry(update);
}

void MainForm::buildChartGroup() {
  const HWND group = place<GroupInfo>(nullptr, ids::kChartGroup, 355, 340, 260, 105, "BMS情報")->getHandle();
  const std::pair<int32_t, const char*> rows[] = {
      {ids::kGenre, "GENRE"}, {ids::kTitle, "TITLE"}, {ids::kArtist, "ARTIST"}};
  int y = 20;
  for (const auto& [boxId, label] : rows) {
    place<TextboxInfo>(group, boxId, 130, y, 120, 20, "");
    place<LabelInfo>(group, boxId + 1, 10, y + 5, 120, 20, label);
    y += 25;
  }
}

bool MainForm::hasControl(int id) const { return registry_.findById(id) != nullptr; }

std::string MainForm::text(int id) const {
  const auto* box = registry_.findById<TextboxInfo>(id);
  return box ? box->getText() : std::string();
}

void MainForm::setText(int id, std::string_view text) {
  if (auto* box = registry_.findById<TextboxInfo>(id))
    box->setText(text);
  else if (auto* group = registry_.findById<GroupInfo>(id))
    group->setText(text);
}

void MainForm::clearSelection() { editor_.clearSelection(); }

void MainForm::clearRows() {
  if (auto* table = registry_.findById<ListViewInfo>(ids::kTrackTable)) table->clearRows();
}

void MainForm::addRow(std::string_view trackName) {
  if (auto* table = registry_.findById<ListViewInfo>(ids::kTrackTable)) table->addRow(0, trackName);
}

void MainForm::refreshRow(int row, const TrackSettings& settings) { editor_.refreshRow(row, settings); }

void MainForm::showMessage(std::string_view text) {
  MessageBoxA(shell_.window().handle, std::string(text).c_str(), "", MB_OK);
}

void MainForm::onBrowse(ControlItem& button) {
  const auto path = askForSongFile(button.getHandle());
  if (path && hasControl(ids::kInputFile)) load(*path);
}

void MainForm::onTrackListDrop(WPARAM drop) {
  if (const auto path = takeDroppedSongFile(reinterpret_cast<HDROP>(drop))) load(*path);
}

void MainForm::runOutputFlow(bool writeMidi, bool writeBms) { runOutput(app_, *this, writeMidi, writeBms); }

void MainForm::load(const std::string& path) { loadFile(app_, *this, path); }

}  // namespace rendlow::ui
