#pragma once

#include <cstdint>
#include <string>

namespace rendlow {

// How notes of one track are sliced into sounds, plus where its chart objects go.
// Used as plain values everywhere: per track of the project, in the track table's rows, in the
// settings file.
//
// As an edit record (the form's update button, the command line's --set), an empty text, a
// negative number in the numeric fields and -1 in `splitMethod` mean "keep the track's value".
struct TrackSettings {
  std::string trackName;       // the MIDI track the record was saved for; key when loading
  std::string definitionName;  // base name of the track's sound files
  int32_t velocitySplitWidth = 0;
  int32_t ccSplitWidth = 0;
  int32_t noteInterval = 960;
  int32_t gridUnit = 1920;
  int32_t multipleThreshold = 0;
  int32_t ccInterval = 0;
  int32_t splitMethod = 1;
  bool ignoreBpm = false;
  bool enabled = true;
  int32_t wavDefinitionGap = 2;

  // Takes over every value of an edit record that is not marked "keep". `ignoreBpm` has no keep
  // value and `enabled` is always taken too.
  void applyEdit(const TrackSettings& edit);

  bool operator==(const TrackSettings&) const = default;
};

// The values of TrackSettings::splitMethod that have a meaning; any other value acts as Single.
enum class SplitMethod : int32_t { Single = 0, Chord = 1, Legato = 2 };

}  // namespace rendlow
