#pragma once

#include <cstdint>
#include <string>

namespace rendlow {

// The grid of a track that no row of the track table sets: the file's first track when it plays
// nothing (a conductor); a settings-file record whose line stops before its grid leaves it so too.
// A listed row starts from the field table's default instead: no grid.
inline constexpr int32_t kUnsetGridUnit = 1920;

// How notes of one track are sliced into sounds, plus where its chart objects go.
// Used as plain values everywhere: per track of the project, in the track table's rows, in the
// settings file. The table of fields (slicer/track_fields.h) names, bounds and defaults each one.
//
// As an edit record (the form's update button, the command line's --set), an empty text, a
// negative number in the numeric fields and -1 in `splitMethod` mean "keep the track's value".
struct TrackSettings {
  // Every field at the table's default, on the grid of a track no row sets.
  TrackSettings();

  std::string trackName;       // the MIDI track the record was saved for; key when loading
  std::string definitionName;  // base name of the track's sound files
  int32_t velocitySplitWidth{};
  int32_t ccSplitWidth{};
  int32_t noteInterval{};
  int32_t gridUnit{};
  int32_t multipleThreshold{};
  int32_t ccInterval{};
  int32_t splitMethod{};
  bool ignoreBpm{};
  bool enabled{};
  int32_t wavDefinitionGap{};
  int32_t lengthSplitWidth{};

  // Takes over every value of an edit record that is not marked "keep". A flag has no keep value,
  // so `ignoreBpm` and `enabled` are always taken.
  void applyEdit(const TrackSettings& edit);

  bool operator==(const TrackSettings&) const = default;
};

// The values of TrackSettings::splitMethod that have a meaning; any other value acts as Single.
enum class SplitMethod : int32_t { Single = 0, Chord = 1, Legato = 2 };

}  // namespace rendlow
