#include "ui/track_editor.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "base/integer_math.h"
#include "base/messages.h"
#include "base/path_names.h"
#include "base/text.h"
#include "ui/form_ids.h"

namespace rendlow::ui {

namespace {

// The split methods by their value, as the drop-down lists them.
constexpr const char* kSplitMethodNames[] = {"単音", "和音", "レガート"};

// A split method's name; any other value (possible from a settings file) shows as the number it is.
std::string splitMethodText(int32_t method) {
  if (method >= 0 && method < static_cast<int32_t>(std::size(kSplitMethodNames)))
    return kSplitMethodNames[method];
  return std::to_string(method);
}

// What the track table shows of a field.
std::string cellText(const TrackField& field, const TrackSettings& settings) {
  switch (field.kind) {
    case FieldKind::Name:
      return settings.*field.text;
    case FieldKind::SplitMethod:
      return splitMethodText(settings.*field.number);
    case FieldKind::Flag:
      return settings.*field.flag ? "On" : "Off";
    case FieldKind::Number:
      break;
  }
  return std::to_string(settings.*field.number);
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

// Numbers that the rows of a selection may disagree on; a disagreement shows as an empty box.
// A flag shows the first row's, and a name shows only for a single row.
void markDifferences(TrackSettings& merged, const TrackSettings& row) {
  for (const TrackField& field : trackSettingsFields()) {
    if (field.kind != FieldKind::Number && field.kind != FieldKind::SplitMethod) continue;
    if (merged.*field.number != row.*field.number) merged.*field.number = -1;
  }
}

}  // namespace

TrackEditor::TrackEditor(Application& app, ListView& table,
                         std::function<void(const std::wstring&)> refuseText,
                         std::function<void(const Message&)> tell)
    : app_(app), table_(table), refuseText_(std::move(refuseText)), tell_(std::move(tell)) {}

void TrackEditor::build(const Parent& main, int left) {
  group_.create(main, ids::kSettingsGroup, {left, 5, 260, 320}, "");
  const Parent inside = group_.inside();
  for (const TrackField* field : fieldsInPlaceOrder(&TrackField::editorPlace)) {
    const int y = 20 + 25 * (field->editorPlace - 1);
    fields_.push_back(makeControl(inside, *field, {130, y, 120, 20}));
    labels_.push_back(std::make_unique<Label>());
    labels_.back()->create(inside, ids::fieldLabelId(*field), {10, y + 5, 120, 20}, field->caption);
  }
  update_.create(inside, ids::kUpdateButton, {190, 275, 60, 30}, "更新");
  update_.onClick = [this] { update(); };
}

TrackEditor::FieldControl TrackEditor::makeControl(const Parent& inside, const TrackField& field,
                                                   const Bounds& at) {
  FieldControl control{&field, nullptr, nullptr, nullptr};
  const int id = ids::fieldControlId(field);
  switch (field.kind) {
    case FieldKind::Name:
    case FieldKind::Number:
      control.box = std::make_unique<TextBox>();
      control.box->create(inside, id, at);
      control.box->onEnter = [this] { update(); };
      break;
    case FieldKind::SplitMethod:
      control.choice = std::make_unique<DropDown>();
      control.choice->create(inside, id, at);
      for (const char* item : kSplitMethodNames) control.choice->addItem(item);
      break;
    case FieldKind::Flag:
      control.check = std::make_unique<CheckBox>();
      control.check->create(inside, id, at);
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
  // A track that carries tempo changes sets the tempo of every other track, so it always stays in.
  if (rowHasTempo(row)) table_.setChecked(row, true);
  if (const TrackSettings* settings = app_.findRowSettings(row)) {
    TrackSettings record = *settings;
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
  for (const FieldControl& control : fields_) {
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
      refuseText_(control.box->wideText());
      return std::nullopt;
    }
    if (field.kind == FieldKind::Name) {
      record.*field.text = firstWord(*text);
      // An empty box keeps each row's name.
      if (!(record.*field.text).empty() && !isSafeFileName(record.*field.text)) {
        tell_(definitionNameRefusedMessage(record.*field.text));
        return std::nullopt;
      }
    } else if (text->empty())
      setNumber(field, record, -1);  // keep
    else if (const auto value = scanInteger(*text))
      setNumber(field, record, *value);
  }
  return record;
}

void TrackEditor::update() {
  std::optional<TrackSettings> record = readEditRecord();
  if (!record) return;
  for (const int row : std::set<int>(selectedRows_)) {
    // Each row keeps its own check state: updating the settings never brings a track back in.
    record->enabled = table_.isChecked(row);
    if (!app_.applyRowSettings(row, *record)) continue;
    if (const TrackSettings* settings = app_.findRowSettings(row)) refreshRow(row, *settings);
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
