#include "slicer/track_fields.h"

#include <algorithm>
#include <array>
#include <limits>

namespace rendlow {

namespace {

constexpr int32_t kAnyCount = std::numeric_limits<int32_t>::max();

constexpr std::array kFields = {
    TrackField{.name = "definitionName",
               .kind = FieldKind::Name,
               .text = &TrackSettings::definitionName,
               .inTable = true,
               .linePlace = 1,
               .editorPlace = 1},
    TrackField{.name = "velocitySplitWidth",
               .kind = FieldKind::Number,
               .number = &TrackSettings::velocitySplitWidth,
               .largest = kAnyCount,
               .inTable = true,
               .linePlace = 2,
               .editorPlace = 2},
    TrackField{.name = "ccSplitWidth",
               .kind = FieldKind::Number,
               .number = &TrackSettings::ccSplitWidth,
               .largest = kAnyCount,
               .inTable = true,
               .linePlace = 8,
               .editorPlace = 8,
               .keptWithoutTrack = true},
    TrackField{.name = "noteInterval",
               .kind = FieldKind::Number,
               .number = &TrackSettings::noteInterval,
               .defaultValue = 960,
               .largest = kAnyCount,
               .inTable = true,
               .linePlace = 3,
               .editorPlace = 3},
    // A listed track starts with no grid; only a track no row sets keeps kUnsetGridUnit.
    TrackField{.name = "gridUnit",
               .kind = FieldKind::Number,
               .number = &TrackSettings::gridUnit,
               .largest = kAnyCount,
               .inTable = true,
               .linePlace = 4,
               .editorPlace = 4},
    TrackField{.name = "multipleThreshold",
               .kind = FieldKind::Number,
               .number = &TrackSettings::multipleThreshold,
               .largest = kAnyCount,
               .inTable = true,
               .linePlace = 6,
               .editorPlace = 5},
    TrackField{.name = "ccInterval",
               .kind = FieldKind::Number,
               .number = &TrackSettings::ccInterval,
               .largest = kAnyCount,
               .inTable = true,
               .linePlace = 9,
               .editorPlace = 9,
               .keptWithoutTrack = true},
    TrackField{.name = "splitMethod",
               .kind = FieldKind::SplitMethod,
               .number = &TrackSettings::splitMethod,
               .defaultValue = static_cast<int32_t>(SplitMethod::Chord),
               .largest = static_cast<int32_t>(SplitMethod::Legato),
               .inTable = true,
               .linePlace = 5,
               .editorPlace = 6},
    TrackField{.name = "ignoreBpm",
               .kind = FieldKind::Flag,
               .flag = &TrackSettings::ignoreBpm,
               .largest = 1,
               .inTable = true,
               .linePlace = 7,
               .editorPlace = 7,
               .keptWithoutTrack = true},
    TrackField{.name = "wavDefinitionGap",
               .kind = FieldKind::Number,
               .number = &TrackSettings::wavDefinitionGap,
               .defaultValue = 2,
               .largest = kAnyCount,
               .inTable = true,
               .linePlace = 10,
               .editorPlace = 10},
    // The table's check boxes stand for it in the window, so it has no column and no box. Last on
    // the line, which every settings file written before it ends earlier: a line without it loads
    // the track enabled.
    TrackField{.name = "enabled",
               .kind = FieldKind::Flag,
               .flag = &TrackSettings::enabled,
               .defaultValue = 1,
               .largest = 1,
               .linePlace = 11},
    // Added after the check box's field, so every settings file written before it reads as 0:
    // lengths compared exactly, as they always were. The settings group has no room for a box.
    TrackField{.name = "lengthSplitWidth",
               .kind = FieldKind::Number,
               .number = &TrackSettings::lengthSplitWidth,
               .largest = kAnyCount,
               .linePlace = 12},
};

}  // namespace

std::span<const TrackField> trackSettingsFields() { return kFields; }

const TrackField* findTrackField(std::string_view name) {
  const auto found = std::find_if(kFields.begin(), kFields.end(),
                                  [name](const TrackField& field) { return field.name == name; });
  return found == kFields.end() ? nullptr : &*found;
}

std::vector<const TrackField*> fieldsInPlaceOrder(int TrackField::*place) {
  std::vector<const TrackField*> placed;
  for (const TrackField& field : kFields) {
    if (field.*place > 0) placed.push_back(&field);
  }
  std::sort(placed.begin(), placed.end(),
            [place](const TrackField* a, const TrackField* b) { return a->*place < b->*place; });
  return placed;
}

std::vector<const TrackField*> tableColumnFields() {
  std::vector<const TrackField*> shown = fieldsInPlaceOrder(&TrackField::linePlace);
  std::erase_if(shown, [](const TrackField* field) { return !field->inTable; });
  return shown;
}

int32_t numberOf(const TrackField& field, const TrackSettings& settings) {
  if (field.kind == FieldKind::Flag) return settings.*field.flag ? 1 : 0;
  return settings.*field.number;
}

void setNumber(const TrackField& field, TrackSettings& settings, int32_t value) {
  if (field.kind == FieldKind::Flag)
    settings.*field.flag = value != 0;
  else
    settings.*field.number = value;
}

void setFieldDefaults(TrackSettings& settings) {
  for (const TrackField& field : kFields) {
    if (field.kind != FieldKind::Name) setNumber(field, settings, field.defaultValue);
  }
}

}  // namespace rendlow
