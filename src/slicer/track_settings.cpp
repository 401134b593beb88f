#include "slicer/track_settings.h"

#include "slicer/track_fields.h"

namespace rendlow {

namespace {

void applyText(std::string& field, const std::string& edit) {
  if (!edit.empty()) field = edit;
}

// Whether an edit record's value for `field` says "keep the track's value".
bool keeps(const TrackField& field, const TrackSettings& edit) {
  switch (field.kind) {
    case FieldKind::Name:
      return (edit.*field.text).empty();
    case FieldKind::Number:
      return edit.*field.number < 0;
    case FieldKind::SplitMethod:
      return edit.*field.number == -1;
    case FieldKind::Flag:
      break;
  }
  return false;
}

}  // namespace

TrackSettings::TrackSettings() {
  setFieldDefaults(*this);
  gridUnit = kUnsetGridUnit;
}

void TrackSettings::applyEdit(const TrackSettings& edit) {
  applyText(trackName, edit.trackName);
  for (const TrackField& field : trackSettingsFields()) {
    if (keeps(field, edit)) continue;
    if (field.kind == FieldKind::Name)
      this->*field.text = edit.*field.text;
    else
      setNumber(field, *this, numberOf(field, edit));
  }
}

}  // namespace rendlow
