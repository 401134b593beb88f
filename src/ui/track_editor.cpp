#include "ui/track_editor.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <string>

#include "base/messages.h"
#include "base/messages_fields.h"
#include "base/messages_labels.h"
#include "base/path_names.h"
#include "base/text.h"
#include "slicer/track_fields.h"
#include "ui/form_ids.h"
#include "ui/track_table.h"

namespace rendlow::ui {

namespace {

// An edit record that keeps every field of each row it is applied to, so that the fields the form
// has no box for (the length width, set from the settings file or the command line) stay as each
// row has them. The boxes then fill in what the form shows.
TrackSettings keepingRecord() {
  TrackSettings record;
  for (const TrackField& field : trackSettingsFields()) {
    if (field.kind == FieldKind::Name)
      (record.*field.text).clear();
    else if (field.kind != FieldKind::Flag)
      record.*field.number = -1;
  }
  return record;
}

// The value of a number box's text: digits only, from the field's smallest value to its largest;
// nothing otherwise. More digits than any 32-bit value has are out of range whatever they are.
std::optional<int32_t> wholeNumberIn(const TrackField& field, const std::string& text) {
  constexpr std::size_t kMostDigits = 10;
  if (text.empty() || text.size() > kMostDigits) return std::nullopt;
  if (!std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) return std::nullopt;
  const long long value = std::stoll(text);
  if (value < field.smallest || value > field.largest) return std::nullopt;
  return static_cast<int32_t>(value);
}

// The first white-space-delimited word, as "%s" scans it; empty when there is none.
std::string firstWord(const std::string& text) {
  std::array<char, kMaxTextBytes + 1> word{};
  if (std::sscanf(text.c_str(), "%511s", word.data()) != 1) return {};
  return word.data();
}

// Numbers that the rows of a selection may disagree on; a disagreement shows as an empty box.
// A flag shows the first row's, and a name shows only for a single row.
void markDifferences(TrackSettings& merged, const TrackSettings& row) {
  for (const TrackField& field : trackSettingsFields()) {
    if (field.kind != FieldKind::Number && field.kind != FieldKind::SplitMethod) continue;
    if (merged.*field.number != row.*field.number) merged.*field.number = -1;
  }
}

}  // namespace

TrackEditor::TrackEditor(Application& app, ListView& table, MessageCallbacks messages)
    : app_(app), table_(table), messages_(std::move(messages)) {}

void TrackEditor::build(const Parent& main, int left) {
  group_.create(main, ids::kSettingsGroup, {left, 5, 260, 320}, "");
  const Parent inside = group_.inside();
  for (const TrackField* field : fieldsInPlaceOrder(&TrackField::editorPlace)) {
    const int y = 20 + 25 * (field->editorPlace - 1);
    fields_.push_back(makeControl(inside, *field, {130, y, 120, 20}));
    labels_.push_back(std::make_unique<Label>());
    labels_.back()->create(inside, ids::fieldLabelId(*field), {10, y + 5, 120, 20},
                           fieldTexts(field->name).caption.in(Audience::Window));
  }
  update_.create(inside, ids::kUpdateButton, {190, 275, 60, 30}, updateButtonCaption().in(Audience::Window));
  update_.onClick = [this] { update(); };
  enable(false);
}

TrackEditor::FieldControl TrackEditor::makeControl(const Parent& inside, const TrackField& field,
                                                   const Bounds& at) {
  FieldControl control{&field, nullptr, nullptr, nullptr, {}};
  const int id = ids::fieldControlId(field);
  switch (field.kind) {
    case FieldKind::Name:
    case FieldKind::Number:
      control.box = std::make_unique<TextBox>();
      control.box->create(inside, id, at, field.kind == FieldKind::Number ? Typing::Digits : Typing::Any);
      control.box->onEnter = [this] { update(); };
      control.box->onChange = [this] { changed_ = true; };
      break;
    case FieldKind::SplitMethod:
      control.choice = std::make_unique<DropDown>();
      control.choice->create(inside, id, at);
      for (const std::string& item : splitMethodNames()) control.choice->addItem(item);
      control.choice->onChange = [this] { changed_ = true; };
      break;
    case FieldKind::Flag:
      control.check = std::make_unique<CheckBox>();
      control.check->create(inside, id, at);
      control.check->onClick = [this] { changed_ = true; };
      break;
  }
  return control;
}

void TrackEditor::refreshRow(int row, const TrackSettings& settings) {
  if (row < 0) return;
  for (const TrackField* field : tableColumnFields())
    table_.setCell(row, field->linePlace, cellText(*field, settings));
  table_.setChecked(row, settings.enabled);
}

void TrackEditor::clearSelection() {
  selectedRows_.clear();
  changed_ = false;
}

void TrackEditor::showFirstRow() {
  if (table_.rowCount() == 0) return;
  table_.selectOnly(0);
  showSelection();
}

bool TrackEditor::applyChanges() { return !changed_ || update(); }

void TrackEditor::rowClicked(int row) {
  if (row < 0)
    showNoTrack();
  else if (app_.findRowSettings(row))
    showSelection();
}

void TrackEditor::showSelection() {
  std::optional<TrackSettings> merged;
  for (const int row : selectedRows_) {
    const TrackSettings* settings = app_.findRowSettings(row);
    if (!settings) continue;
    if (!merged)
      merged = *settings;
    else
      markDifferences(*merged, *settings);
  }
  if (merged)
    showMerged(*merged);
  else
    showNoTrack();
  rememberShown();
}

// What the boxes show now is what a refused number goes back to, and nothing is changed yet.
void TrackEditor::rememberShown() {
  for (FieldControl& control : fields_) {
    if (control.box) control.lastGood = control.box->text().value_or(std::string());
  }
  changed_ = false;
}

// The fields the table marks as kept (the controller boxes and the check box) go on showing what
// they showed: they were never cleared.
void TrackEditor::showNoTrack() {
  group_.setText("");
  for (const FieldControl& control : fields_) {
    if (control.field->keptWithoutTrack) continue;
    if (control.box) control.box->setText("");
    if (control.choice) control.choice->select(-1);
  }
  rememberShown();
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
  for (const FieldControl& control : fields_) {
    const TrackField& field = *control.field;
    if (field.kind == FieldKind::Name)
      control.box->setText(selectedRows_.size() == 1 ? merged.*field.text : "");
    else if (control.box)
      control.box->setNumber(merged.*field.number);
    else if (control.choice)
      control.choice->select(merged.*field.number);
    else
      control.check->setChecked(merged.*field.flag);
  }
}

void TrackEditor::rowChanged(int row) {
  // Leaving the rows the group shows writes the user's changes into them first.
  if (table_.isSelected(row) != (selectedRows_.count(row) != 0)) applyChanges();
  // A track that carries tempo changes sets the tempo of every other track, so it always stays in.
  if (rowHasTempo(row)) table_.setChecked(row, true);
  if (const TrackSettings* settings = app_.findRowSettings(row)) {
    TrackSettings record = *settings;
    record.enabled = table_.isChecked(row);
    if (record.enabled != settings->enabled && app_.applyRowSettings(row, record) && onRowsChanged) onRowsChanged();
  }
  if (table_.isSelected(row))
    selectedRows_.insert(row);
  else
    selectedRows_.erase(row);
}

std::optional<TrackSettings> TrackEditor::readEditRecord() {
  // Every box is read before anything changes, so a text the engine cannot keep changes nothing.
  TrackSettings record = keepingRecord();
  for (FieldControl& control : fields_) {
    const TrackField& field = *control.field;
    if (control.choice) {
      setNumber(field, record, control.choice->selectedIndex());
      continue;
    }
    if (control.check) {
      setNumber(field, record, control.check->isChecked() ? 1 : 0);
      continue;
    }
    const std::optional<std::string> text = control.box->text();
    if (!text) {
      messages_.refuseText(control.box->wideText());
      return std::nullopt;
    }
    if (field.kind == FieldKind::Name) {
      record.*field.text = firstWord(*text);
      // An empty box keeps each row's name.
      if (!(record.*field.text).empty() && !isSafeFileName(record.*field.text)) {
        messages_.tell(definitionNameRefusedMessage(record.*field.text));
        return std::nullopt;
      }
      continue;
    }
    const std::optional<int32_t> value = readNumber(control, *text);
    if (!value) return std::nullopt;
    setNumber(field, record, *value);
  }
  return record;
}

std::optional<int32_t> TrackEditor::readNumber(FieldControl& control, const std::string& text) {
  if (text.empty()) return -1;  // keep
  if (const std::optional<int32_t> value = wholeNumberIn(*control.field, text)) return value;
  const TrackField& field = *control.field;
  messages_.tell(numberOutOfRangeMessage(field.name, text, field.smallest, field.largest));
  control.box->setText(control.lastGood);
  return std::nullopt;
}

bool TrackEditor::update() {
  std::optional<TrackSettings> record = readEditRecord();
  if (!record) return false;
  bool applied = false;
  for (const int row : std::set<int>(selectedRows_)) {
    // Each row keeps its own check state: updating the settings never brings a track back in.
    record->enabled = table_.isChecked(row);
    if (!app_.applyRowSettings(row, *record)) continue;
    applied = true;
    if (const TrackSettings* settings = app_.findRowSettings(row)) refreshRow(row, *settings);
  }
  rememberShown();
  if (applied && onRowsChanged) onRowsChanged();
  return true;
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
