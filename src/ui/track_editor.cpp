#include "ui/track_editor.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "base/integer_math.h"
#include "base/text.h"
#include "ui/form_ids.h"

namespace rendlow::ui {

namespace {

// Column 5 names the three split methods; any other value (possible from a settings file) is
// shown as the number it is.
std::string splitMethodText(int32_t method) {
  switch (method) {
    case 0:
      return "単音";
    case 1:
      return "和音";
    case 2:
      return "レガート";
    default:
      return std::to_string(method);
  }
}

// The leading decimal integer of a box's text, as "%d" scans it: leading white space skipped,
// an optional sign, digits, the rest ignored. Values beyond 32 bits are held at the nearest end
// instead of overflowing. Empty when the text does not start with a number.
std::optional<int32_t> scanInteger(const std::string& text) {
  const char* begin = text.c_str();
  char* end = nullptr;
  const long long value = std::strtoll(begin, &end, 10);
  if (end == begin) return std::nullopt;
  return clampToInt32(value);
}

// The first white-space-delimited word, as "%s" scans it; empty when there is none.
std::string firstWord(const std::string& text) {
  std::array<char, kMaxTextBytes + 1> word{};
  if (std::sscanf(text.c_str(), "%511s", word.data()) != 1) return {};
  return word.data();
}

// Fields that the rows of a selection may disagree on; a disagreement shows as an empty box.
void markDifferences(TrackSettings& merged, const TrackSettings& row) {
  const auto mark = [](int32_t& mergedValue, int32_t rowValue) {
    if (mergedValue != rowValue) mergedValue = -1;
  };
  mark(merged.velocitySplitWidth, row.velocitySplitWidth);
  mark(merged.noteInterval, row.noteInterval);
  mark(merged.gridUnit, row.gridUnit);
  mark(merged.multipleThreshold, row.multipleThreshold);
  mark(merged.splitMethod, row.splitMethod);
  mark(merged.ccSplitWidth, row.ccSplitWidth);
  mark(merged.ccInterval, row.ccInterval);
  mark(merged.wavDefinitionGap, row.wavDefinitionGap);
}

}  // namespace

struct TrackEditor::NumberBox {
  TextBox* box;
  int32_t TrackSettings::*field;
};

TrackEditor::TrackEditor(Application& app, ListView& table,
                         std::function<void(const std::wstring&)> refuseText)
    : app_(app), table_(table), refuseText_(std::move(refuseText)) {}

void TrackEditor::build(const Parent& main, int left) {
  group_.create(main, ids::kSettingsGroup, {left, 5, 260, 320}, "");
  const Parent inside = group_.inside();
  const auto label = [&](int id, int y, const char* text) {
    labels_.push_back(std::make_unique<Label>());
    labels_.back()->create(inside, id, {10, y + 5, 120, 20}, text);
  };
  const auto box = [&](TextBox& box, int id, int y) {
    box.create(inside, id, {130, y, 120, 20});
    box.onEnter = [this] { update(); };
  };
  box(definitionName_, ids::kDefinitionName, 20);
  label(ids::kDefinitionNameLabel, 20, "定義名");
  box(velocitySplitWidth_, ids::kVelocitySplitWidth, 45);
  label(ids::kVelocitySplitWidthLabel, 45, "Velocity分割間隔");
  box(noteInterval_, ids::kNoteInterval, 70);
  label(ids::kNoteIntervalLabel, 70, "音符間隔");
  box(gridUnit_, ids::kGridUnit, 95);
  label(ids::kGridUnitLabel, 95, "配置グリッド間隔");
  box(multipleThreshold_, ids::kMultipleThreshold, 120);
  label(ids::kMultipleThresholdLabel, 120, "多重定義間隔（閾値）");
  splitMethod_.create(inside, ids::kSplitMethod, {130, 145, 120, 20});
  for (const char* item : {"単音", "和音", "レガート"}) splitMethod_.addItem(item);
  label(ids::kSplitMethodLabel, 145, "分割タイプ");
  ignoreBpm_.create(inside, ids::kIgnoreBpm, {130, 170, 120, 20});
  label(ids::kIgnoreBpmLabel, 170, "BPM無視");
  box(ccSplitWidth_, ids::kCcSplitWidth, 195);
  label(ids::kCcSplitWidthLabel, 195, "CC分割間隔");
  box(ccInterval_, ids::kCcInterval, 220);
  label(ids::kCcIntervalLabel, 220, "CC判定間隔");
  box(wavDefinitionGap_, ids::kWavDefinitionGap, 245);
  label(ids::kWavDefinitionGapLabel, 245, "#WAV定義の間隔");
  update_.create(inside, ids::kUpdateButton, {190, 275, 60, 30}, "更新");
  update_.onClick = [this] { update(); };
}

std::vector<TrackEditor::NumberBox> TrackEditor::numberBoxes() {
  return {{&velocitySplitWidth_, &TrackSettings::velocitySplitWidth},
          {&noteInterval_, &TrackSettings::noteInterval},
          {&gridUnit_, &TrackSettings::gridUnit},
          {&multipleThreshold_, &TrackSettings::multipleThreshold},
          {&ccSplitWidth_, &TrackSettings::ccSplitWidth},
          {&ccInterval_, &TrackSettings::ccInterval},
          {&wavDefinitionGap_, &TrackSettings::wavDefinitionGap}};
}

void TrackEditor::refreshRow(int row, const TrackSettings& settings) {
  if (row < 0) return;
  table_.setCell(row, 1, settings.definitionName);
  table_.setCell(row, 2, std::to_string(settings.velocitySplitWidth));
  table_.setCell(row, 3, std::to_string(settings.noteInterval));
  table_.setCell(row, 4, std::to_string(settings.gridUnit));
  table_.setCell(row, 5, splitMethodText(settings.splitMethod));
  table_.setCell(row, 6, std::to_string(settings.multipleThreshold));
  table_.setCell(row, 7, settings.ignoreBpm ? "On" : "Off");
  table_.setCell(row, 8, std::to_string(settings.ccSplitWidth));
  table_.setCell(row, 9, std::to_string(settings.ccInterval));
  table_.setCell(row, 10, std::to_string(settings.wavDefinitionGap));
}

void TrackEditor::rowClicked(int row) {
  TrackSettings settings;
  if (row < 0)
    showNoTrack();
  else if (app_.getRowSettings(row, settings))
    showSelection();
}

void TrackEditor::showSelection() {
  std::optional<TrackSettings> merged;
  for (const int row : selectedRows_) {
    TrackSettings settings;
    if (!app_.getRowSettings(row, settings)) continue;
    if (!merged)
      merged = settings;
    else
      markDifferences(*merged, settings);
  }
  if (merged)
    showMerged(*merged);
  else
    showNoTrack();
}

// The controller boxes and the check box keep what they show: they were never cleared.
void TrackEditor::showNoTrack() {
  group_.setText("");
  for (TextBox* box : {&definitionName_, &velocitySplitWidth_, &noteInterval_, &gridUnit_,
                       &multipleThreshold_, &wavDefinitionGap_})
    box->setText("");
  splitMethod_.select(-1);
}

void TrackEditor::showMerged(const TrackSettings& merged) {
  std::string caption;
  for (const int row : selectedRows_) {
    const std::optional<std::string> name = rowTrackName(row);
    if (!name) continue;
    if (!caption.empty()) caption += ',';
    caption += *name;
  }
  group_.setText(displayText(caption));
  definitionName_.setText(selectedRows_.size() == 1 ? merged.definitionName : "");
  for (const auto& [box, field] : numberBoxes()) box->setNumber(merged.*field);
  splitMethod_.select(merged.splitMethod);
  ignoreBpm_.setChecked(merged.ignoreBpm);
}

void TrackEditor::rowChanged(int row) {
  // A track that carries tempo changes sets the tempo of every other track, so it always stays in.
  if (rowHasTempo(row)) table_.setChecked(row, true);
  TrackSettings record;
  if (app_.getRowSettings(row, record)) {
    record.enabled = table_.isChecked(row);
    app_.applyRowSettings(row, record);
  }
  if (table_.isSelected(row))
    selectedRows_.insert(row);
  else
    selectedRows_.erase(row);
}

std::optional<TrackSettings> TrackEditor::readEditRecord() {
  // Every box is read before anything changes, so a text the engine cannot keep changes nothing.
  TrackSettings record;
  const std::optional<std::string> name = definitionName_.text();
  if (!name) {
    refuseText_(definitionName_.wideText());
    return std::nullopt;
  }
  record.definitionName = firstWord(*name);
  for (const auto& [box, field] : numberBoxes()) {
    const std::optional<std::string> text = box->text();
    if (!text) {
      refuseText_(box->wideText());
      return std::nullopt;
    }
    if (text->empty())
      record.*field = -1;  // keep
    else if (const auto value = scanInteger(*text))
      record.*field = *value;
  }
  record.splitMethod = splitMethod_.selectedIndex();
  record.ignoreBpm = ignoreBpm_.isChecked();
  return record;
}

void TrackEditor::update() {
  std::optional<TrackSettings> record = readEditRecord();
  if (!record) return;
  for (const int row : std::set<int>(selectedRows_)) {
    // Each row keeps its own check state: updating the settings never brings a track back in.
    record->enabled = table_.isChecked(row);
    if (!app_.applyRowSettings(row, *record)) continue;
    TrackSettings settings;
    if (app_.getRowSettings(row, settings)) refreshRow(row, settings);
  }
}

std::optional<std::string> TrackEditor::rowTrackName(int row) const {
  const int32_t track = app_.project.listedTrack(row);
  if (track == kNone) return std::nullopt;
  return boundedText(app_.project.song.tracks[static_cast<std::size_t>(track)].name);
}

bool TrackEditor::rowHasTempo(int row) const {
  const int32_t track = app_.project.listedTrack(row);
  return track != kNone && app_.project.song.tracks[static_cast<std::size_t>(track)].hasTempo;
}

}  // namespace rendlow::ui
