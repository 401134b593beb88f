#pragma once

#include <cstdint>

#include "app/form.h"

// Logical ids of the main form's controls, by which the application finds them. The boxes the
// flows use share their numbers with rendlow::control.
namespace rendlow::ui::ids {

inline constexpr int32_t kMidiGroup = 1;
inline constexpr int32_t kInputFile = control::kInputFile;
inline constexpr int32_t kInputLabel = 101;
inline constexpr int32_t kBrowseButton = 102;
inline constexpr int32_t kOutputFile = control::kOutputFile;
inline constexpr int32_t kOutputLabel = 104;
inline constexpr int32_t kTrackTable = control::kTrackTable;
inline constexpr int32_t kSettingsGroup = 106;
inline constexpr int32_t kDefinitionName = 107;
inline constexpr int32_t kVelocitySplitWidth = 109;
inline constexpr int32_t kNoteInterval = 111;
inline constexpr int32_t kGridUnit = 113;
inline constexpr int32_t kMultipleThreshold = 115;
inline constexpr int32_t kSplitMethod = 117;
inline constexpr int32_t kIgnoreBpm = 119;
inline constexpr int32_t kCcSplitWidth = 121;
inline constexpr int32_t kCcInterval = 123;
inline constexpr int32_t kWavDefinitionGap = 125;
inline constexpr int32_t kUpdateButton = 127;
inline constexpr int32_t kChartGroup = 128;
inline constexpr int32_t kGenre = control::kGenre;
inline constexpr int32_t kTitle = control::kTitle;
inline constexpr int32_t kArtist = control::kArtist;
inline constexpr int32_t kMidiOutputButton = 135;
inline constexpr int32_t kChartOutputButton = 136;
inline constexpr int32_t kSaveSettingsButton = 137;

// Enter in an edit box whose id lies in this range presses the update button.
inline constexpr int32_t kFirstSettingsId = kSettingsGroup;
inline constexpr int32_t kLastSettingsId = kUpdateButton;

}  // namespace rendlow::ui::ids
