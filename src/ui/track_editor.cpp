#include "ui/track_editor.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>

#include "base/text.h"
#include "ui/checkbox_info.h"
#include "ui/dropdown_box_info.h"
#include "ui/form_ids.h"
#include "ui/group_info.h"
#include "ui/list_view_info.h"
#include "ui/textbox_info.h"
#include "ui/win32.h"

namespace rendlow::ui {

namespace {

constexpr int32_t kClick = NM_CLICK;
constexpr int32_t kItemChanged = LVN_ITEMCHANGED;

std::string decimal(int32_t value) {
  std::array<char, 16> digits{};
  std::snprintf(digits.data(), digits.size(), "%d", static_cast<int>(value));
  return digits.data();
}

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
      return decimal(method);
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
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
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

void TrackEditor::refreshRow(int32_t row, const TrackSettings& settings) {
  ListViewInfo* table = trackTable();
  if (row < 0 || !table) return;
  table->setCell(row, 1, settings.definitionName);
  table->setCell(row, 2, decimal(settings.velocitySplitWidth));
  table->setCell(row, 3, decimal(settings.noteInterval));
  table->setCell(row, 4, decimal(settings.gridUnit));
  table->setCell(row, 5, splitMethodText(settings.splitMethod));
  table->setCell(row, 6, decimal(settings.multipleThreshold));
  table->setCell(row, 7, settings.ignoreBpm ? "On" : "Off");
  table->setCell(row, 8, decimal(settings.ccSplitWidth));
  table->setCell(row, 9, decimal(settings.ccInterval));
  table->setCell(row, 10, decimal(settings.wavDefinitionGap));
}

void TrackEditor::refreshEditFields(std::set<int32_t> selection) {
  std::optional<TrackSettings> merged;
  for (const int32_t row : selection) {
    TrackSettings settings;
    if (!app_.getRowSettings(row, settings)) continue;
    if (!merged)
      merged = settings;
    else
      markDifferences(*merged, settings);
  }
  if (merged)
    showMerged(selection, *merged);
  else
    showNoTrack();
}

void TrackEditor::showNoTrack() {
  if (auto* group = registry_.findById<GroupInfo>(ids::kSettingsGroup)) group->setText("");
  for (const int32_t id : {ids::kDefinitionName, ids::kVelocitySplitWidth, ids::kNoteInterval, ids::kGridUnit,
                           ids::kMultipleThreshold, ids::kWavDefinitionGap})
    if (auto* box = registry_.findById<TextboxInfo>(id)) box->setText("");
  if (auto* methods = registry_.findById<DropdownBoxInfo>(ids::kSplitMethod)) methods->select(-1);
}

void TrackEditor::showMerged(const std::set<int32_t>& selection, const TrackSettings& merged) {
  std::string caption;
  for (const int32_t row : selection) {
    std::string name;
    if (!rowTrackName(row, name)) continue;
    if (!caption.empty()) caption += ',';
    caption += name;
  }
  if (auto* group = registry_.findById<GroupInfo>(ids::kSettingsGroup)) group->setText(displayText(caption));
  if (auto* box = registry_.findById<TextboxInfo>(ids::kDefinitionName))
    box->setText(selection.size() == 1 ? merged.definitionName : "");
  const std::pair<int32_t, int32_t> numbers[] = {
      {ids::kVelocitySplitWidth, merged.velocitySplitWidth},
      {ids::kNoteInterval, merged.noteInterval},
      {ids::kGridUnit, merged.gridUnit},
      {ids::kMultipleThreshold, merged.multipleThreshold},
      {ids::kCcSplitWidth, merged.ccSplitWidth},
      {ids::kCcInterval, merged.ccInterval},
      {ids::kWavDefinitionGap, merged.wavDefinitionGap},
  };
  for (const auto& [id, value] : numbers)
    if (auto* box = registry_.findById<TextboxInfo>(id)) box->setNumber(value);
  if (auto* methods = registry_.findById<DropdownBoxInfo>(ids::kSplitMethod))
    methods->select(merged.splitMethod);
  if (auto* ignoreBpm = registry_.findById<CheckboxInfo>(ids::kIgnoreBpm))
    ignoreBpm->setChecked(merged.ignoreBpm);
}

int32_t TrackEditor::onTrackListNotify(ControlItem&, int32_t, WPARAM, LPARAM lParam) {
  const auto* notice = reinterpret_cast<const NMLISTVIEW*>(lParam);
  if (!notice) return 0;
  const auto code = static_cast<int32_t>(notice->hdr.code);
  if (code == kClick)
    onRowClicked(notice->iItem);
  else if (code == kItemChanged && notice->iItem >= 0)
    onRowChanged(notice->iItem);
  return 0;
}

void TrackEditor::onRowClicked(int32_t row) {
  if (row < 0) {
    refreshEditFields({row});
    return;
  }
  TrackSettings settings;
  if (!app_.getRowSettings(row, settings)) return;
  std::string name;
  rowTrackName(row, name);
  if (auto* group = registry_.findById<GroupInfo>(ids::kSettingsGroup)) group->setText(name);
  refreshEditFields(selectedRows_);
}

void TrackEditor::onRowChanged(int32_t row) {
  ListViewInfo* table = trackTable();
  if (!table) return;
  // A track that carries tempo changes sets the tempo of every other track, so it always stays in.
  if (rowHasTempo(row)) table->setChecked(row, true);
  const bool checked = table->isChecked(row);
  TrackSettings record;
  if (app_.getRowSettings(row, record)) {
    record.enabled = checked;
    app_.applyRowSettings(row, record);
  }
  if (table->isSelected(row))
    selectedRows_.insert(row);
  else
    selectedRows_.erase(row);
}

TrackSettings TrackEditor::readEditRecord() const {
  TrackSettings record;
  if (auto* box = registry_.findById<TextboxInfo>(ids::kDefinitionName))
    record.definitionName = firstWord(box->getText());
  const std::pair<int32_t, int32_t TrackSettings::*> numbers[] = {
      {ids::kVelocitySplitWidth, &TrackSettings::velocitySplitWidth},
      {ids::kNoteInterval, &TrackSettings::noteInterval},
      {ids::kGridUnit, &TrackSettings::gridUnit},
      {ids::kMultipleThreshold, &TrackSettings::multipleThreshold},
      {ids::kCcSplitWidth, &TrackSettings::ccSplitWidth},
      {ids::kCcInterval, &TrackSettings::ccInterval},
      {ids::kWavDefinitionGap, &TrackSettings::wavDefinitionGap},
  };
  for (const auto& [id, field] : numbers) {
    const auto* box = registry_.findById<TextboxInfo>(id);
    if (!box) continue;
    const std::string text = box->getText();
    if (text.empty())
      record.*field = -1;  // keep
    else if (const auto value = scanInteger(text))
      record.*field = *value;
  }
  if (auto* methods = registry_.findById<DropdownBoxInfo>(ids::kSplitMethod))
    record.splitMethod = methods->selectedIndex();
  if (auto* ignoreBpm = registry_.findById<CheckboxInfo>(ids::kIgnoreBpm))
    record.ignoreBpm = ignoreBpm->isChecked();
  return record;
}

int32_t TrackEditor::onUpdate(ControlItem&, int32_t, WPARAM, LPARAM) {
  TrackSettings record = readEditRecord();
  ListViewInfo* table = trackTable();
  for (const int32_t row : std::set<int32_t>(selectedRows_)) {
    // Each row keeps its own check state: updating the settings never brings a track back in.
    record.enabled = table ? table->isChecked(row) : true;
    if (!app_.applyRowSettings(row, record)) continue;
    TrackSettings settings;
    app_.getRowSettings(row, settings);
    refreshRow(row, settings);
  }
  return 0;
}

bool TrackEditor::rowTrackName(int32_t row, std::string& name) const {
  const auto track = app_.project.listedTrack(row);
  if (!track) return false;
  name = boundedText(track->name);
  return true;
}

bool TrackEditor::rowHasTempo(int32_t row) const {
  const auto track = app_.project.listedTrack(row);
  return track && track->hasTempo;
}

ListViewInfo* TrackEditor::trackTable() const { return registry_.findById<ListViewInfo>(ids::kTrackTable); }

}  // namespace rendlow::ui
