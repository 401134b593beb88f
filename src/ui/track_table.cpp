#include "ui/track_table.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "base/messages_fields.h"
#include "base/messages_labels.h"

namespace rendlow::ui {

namespace {

constexpr int kNameColumnWidth = 60;
constexpr int kSoundColumnWidth = 40;

// The width in pixels of a field's column: a name and the split method's words take more room
// than a number.
int fieldColumnWidth(const TrackField& field) {
  switch (field.kind) {
    case FieldKind::Name:
      return 50;
    case FieldKind::SplitMethod:
      return 60;
    case FieldKind::Number:
    case FieldKind::Flag:
      break;
  }
  return 40;
}

std::vector<int> firstWidths() {
  std::vector<int> widths{kNameColumnWidth};
  for (const TrackField* field : tableColumnFields()) widths.push_back(fieldColumnWidth(*field));
  widths.push_back(kSoundColumnWidth);
  return widths;
}

int soundColumn() { return static_cast<int>(tableColumnFields().size()) + 1; }

// Sound numbers run from 0 without gaps, so the highest tells the count.
int32_t soundCount(const SlicedTrack& track) {
  int32_t count = 0;
  for (const Note& note : track.notes) count = std::max(count, note.sound + 1);
  return count;
}

}  // namespace

std::vector<std::string> splitMethodNames() {
  std::vector<std::string> names;
  for (const Message& name : rendlow::splitMethodNames()) names.push_back(name.in(Audience::Window));
  return names;
}

void addTrackColumns(ListView& table) {
  table.addColumn(kNameColumnWidth, trackNameColumn().in(Audience::Window),
                  trackNameColumnTip().in(Audience::Window));
  // Each field's column is its place on a settings-file line.
  for (const TrackField* field : tableColumnFields()) {
    const FieldTexts texts = fieldTexts(field->name);
    table.addColumn(fieldColumnWidth(*field), texts.column.in(Audience::Window),
                    texts.caption.in(Audience::Window));
  }
  table.addColumn(kSoundColumnWidth, soundCountColumn().in(Audience::Window),
                  soundCountColumnTip().in(Audience::Window));
}

void growTrackColumns(ListView& table, int extra) {
  const std::vector<int> widths = firstWidths();
  int total = 0;
  for (const int width : widths) total += width;
  for (std::size_t column = 0; column < widths.size(); ++column)
    table.setColumnWidth(static_cast<int>(column),
                         widths[column] + std::max(0, extra) * widths[column] / total);
}

std::string cellText(const TrackField& field, const TrackSettings& settings) {
  switch (field.kind) {
    case FieldKind::Name:
      return settings.*field.text;
    case FieldKind::SplitMethod: {
      // Any other value (possible from a settings file) shows as the number it is.
      const int32_t method = settings.*field.number;
      const std::vector<std::string> names = splitMethodNames();
      if (method >= 0 && method < static_cast<int32_t>(names.size()))
        return names[static_cast<std::size_t>(method)];
      return std::to_string(method);
    }
    case FieldKind::Flag:
      return flagMark(settings.*field.flag).in(Audience::Window);
    case FieldKind::Number:
      break;
  }
  return std::to_string(settings.*field.number);
}

void showSoundCounts(ListView& table, const Project& project, const Converted& converted) {
  for (int row = 0; row < table.rowCount(); ++row) {
    const int32_t track = project.listedTrack(row);
    const SlicedTrack* sliced = track != kNone && static_cast<std::size_t>(track) < converted.sliced.size()
                                    ? &converted.sliced[static_cast<std::size_t>(track)]
                                    : nullptr;
    table.setCell(row, soundColumn(),
                  sliced && !sliced->notes.empty() ? std::to_string(soundCount(*sliced)) : "");
  }
}

}  // namespace rendlow::ui
