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
               .help = "base name of the track's sound files (NAME_01.wav, ...)",
               .caption = "定義名",
               .column = "定義名",
               .linePlace = 1,
               .editorPlace = 1},
    TrackField{.name = "velocitySplitWidth",
               .kind = FieldKind::Number,
               .number = &TrackSettings::velocitySplitWidth,
               .largest = kAnyCount,
               .help = "notes whose velocities fall in one bucket of this width are one sound; "
                       "0: velocity ignored",
               .caption = "Velocity分割間隔",
               .column = "Vel分割幅",
               .linePlace = 2,
               .editorPlace = 2},
    TrackField{.name = "ccSplitWidth",
               .kind = FieldKind::Number,
               .number = &TrackSettings::ccSplitWidth,
               .largest = kAnyCount,
               .help = "controller values in buckets of this width; 0: controllers ignored",
               .caption = "CC分割間隔",
               .column = "CC分割幅",
               .linePlace = 8,
               .editorPlace = 8,
               .keptWithoutTrack = true},
    TrackField{.name = "noteInterval",
               .kind = FieldKind::Number,
               .number = &TrackSettings::noteInterval,
               .defaultValue = 960,
               .largest = kAnyCount,
               .help = "ticks of silence before each sound in the rendering MIDI file",
               .caption = "音符間隔",
               .column = "音符間隔",
               .linePlace = 3,
               .editorPlace = 3},
    // A listed track starts with no grid; only a track no row sets keeps kUnsetGridUnit.
    TrackField{.name = "gridUnit",
               .kind = FieldKind::Number,
               .number = &TrackSettings::gridUnit,
               .largest = kAnyCount,
               .help = "ticks; sounds start on this grid in the rendering MIDI file; 0: no grid",
               .caption = "配置グリッド間隔",
               .column = "グリッド単位",
               .linePlace = 4,
               .editorPlace = 4},
    TrackField{.name = "multipleThreshold",
               .kind = FieldKind::Number,
               .number = &TrackSettings::multipleThreshold,
               .largest = kAnyCount,
               .help = "ticks; a repeat this close to the last one gets its own #WAV id",
               .caption = "多重定義間隔（閾値）",
               .column = "多重閾値",
               .linePlace = 6,
               .editorPlace = 5},
    TrackField{.name = "ccInterval",
               .kind = FieldKind::Number,
               .number = &TrackSettings::ccInterval,
               .largest = kAnyCount,
               .help = "ticks between controller samples along a note; 0: its start only",
               .caption = "CC判定間隔",
               .column = "CC判定間隔",
               .linePlace = 9,
               .editorPlace = 9,
               .keptWithoutTrack = true},
    TrackField{.name = "splitMethod",
               .kind = FieldKind::SplitMethod,
               .number = &TrackSettings::splitMethod,
               .defaultValue = static_cast<int32_t>(SplitMethod::Chord),
               .largest = static_cast<int32_t>(SplitMethod::Legato),
               .help = "0 each note, 1 notes starting together (chords), 2 overlapping notes (legato)",
               .caption = "分割タイプ",
               .column = "分割方式",
               .linePlace = 5,
               .editorPlace = 6},
    TrackField{.name = "ignoreBpm",
               .kind = FieldKind::Flag,
               .flag = &TrackSettings::ignoreBpm,
               .largest = 1,
               .help = "1: notes under different tempos can be one sound",
               .caption = "BPM無視",
               .column = "BPM無視",
               .linePlace = 7,
               .editorPlace = 7,
               .keptWithoutTrack = true},
    TrackField{.name = "wavDefinitionGap",
               .kind = FieldKind::Number,
               .number = &TrackSettings::wavDefinitionGap,
               .defaultValue = 2,
               .largest = kAnyCount,
               .help = "#WAV ids left free after the track's own",
               .caption = "#WAV定義の間隔",
               .column = "#WAV定義間隔",
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
               .help = "0 leaves the track out of the rendering MIDI file and the chart",
               .linePlace = 11},
    // Added after the check box's field, so every settings file written before it reads as 0:
    // lengths compared exactly, as they always were. The settings group has no room for a box.
    TrackField{.name = "lengthSplitWidth",
               .kind = FieldKind::Number,
               .number = &TrackSettings::lengthSplitWidth,
               .largest = kAnyCount,
               .help = "ticks; notes whose lengths fall in one bucket of this width are one sound, "
                       "as long as the first; 0: lengths compared exactly",
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
  std::erase_if(shown, [](const TrackField* field) { return field->column.empty(); });
  return shown;
}

std::string fieldHelp(const TrackField& field) {
  // A row without a definition name gets one when the song loads.
  const std::string byDefault =
      field.kind == FieldKind::Name ? "tr and the row from 1" : std::to_string(field.defaultValue);
  return std::string(field.help) + "; default " + byDefault;
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
