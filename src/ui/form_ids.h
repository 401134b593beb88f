#pragma once

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
inline constexpr int kDefinitionName = 107;
inline constexpr int kDefinitionNameLabel = 108;
inline constexpr int kVelocitySplitWidth = 109;
inline constexpr int kVelocitySplitWidthLabel = 110;
inline constexpr int kNoteInterval = 111;
inline constexpr int kNoteIntervalLabel = 112;
inline constexpr int kGridUnit = 113;
inline constexpr int kGridUnitLabel = 114;
inline constexpr int kMultipleThreshold = 115;
inline constexpr int kMultipleThresholdLabel = 116;
inline constexpr int kSplitMethod = 117;
inline constexpr int kSplitMethodLabel = 118;
inline constexpr int kIgnoreBpm = 119;
inline constexpr int kIgnoreBpmLabel = 120;
inline constexpr int kCcSplitWidth = 121;
inline constexpr int kCcSplitWidthLabel = 122;
inline constexpr int kCcInterval = 123;
inline constexpr int kCcIntervalLabel = 124;
inline constexpr int kWavDefinitionGap = 125;
inline constexpr int kWavDefinitionGapLabel = 126;
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

}  // namespace rendlow::ui::ids
