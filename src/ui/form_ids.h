#pragma once

#include "slicer/track_fields.h"

// The ids of the main form's controls among their parent's children, as the platform and the
// tests find them.
namespace rendlow::ui::ids {

inline constexpr int kMidiGroup = 1;
inline constexpr int kInputFile = 100;
inline constexpr int kInputLabel = 101;
inline constexpr int kBrowseButton = 102;
inline constexpr int kOutputFile = 103;
inline constexpr int kOutputLabel = 104;
inline constexpr int kTrackTable = 105;
inline constexpr int kSettingsGroup = 106;
// Each field the settings group shows has two ids, its control's and then its label's, from this
// one on in the group's order; its ten fields end just before the update button.
inline constexpr int kFirstFieldControl = 107;
inline int fieldControlId(const TrackField& field) {
  return kFirstFieldControl + 2 * (field.editorPlace - 1);
}
inline int fieldLabelId(const TrackField& field) { return fieldControlId(field) + 1; }
inline constexpr int kUpdateButton = 127;
inline constexpr int kChartGroup = 128;
inline constexpr int kGenre = 129;
inline constexpr int kGenreLabel = 130;
inline constexpr int kTitle = 131;
inline constexpr int kTitleLabel = 132;
inline constexpr int kArtist = 133;
inline constexpr int kArtistLabel = 134;
inline constexpr int kMidiOutputButton = 135;
inline constexpr int kChartOutputButton = 136;
inline constexpr int kSaveSettingsButton = 137;

// The commands of the menu bar's one menu, "音声(&A)".
inline constexpr int kCutFromStems = 200;
inline constexpr int kAboutStems = 201;
inline constexpr int kMakeKeysounds = 202;
inline constexpr int kFreshChart = 210;

}  // namespace rendlow::ui::ids
