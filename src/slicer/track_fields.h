#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "slicer/track_settings.h"

namespace rendlow {

enum class FieldKind { Name, Number, SplitMethod, Flag };

// One field of TrackSettings as every front end handles it: the settings file's "tr" line, the
// command line's --set, its help and --list, and the desktop program's settings group and track
// table. A new track setting is a member of TrackSettings, one row of the table, and its texts in
// the message catalogue (base/messages_fields.h), found by its name.
struct TrackField {
  std::string_view name{};  // as --set and its help name it
  FieldKind kind{};
  std::string TrackSettings::*text = nullptr;  // a Name
  int32_t TrackSettings::*number = nullptr;    // a Number or the SplitMethod
  bool TrackSettings::*flag = nullptr;         // a Flag
  // What a listed track row starts with (flags as 1 or 0); a Name's default is made per row.
  int32_t defaultValue = 0;
  // The values --set takes. Below the smallest lies what an edit record reads as "keep".
  int32_t smallest = 0;
  int32_t largest = 0;
  // The track table shows it in a column of its own.
  bool inTable = false;
  // Its place among a "tr" line's fields after the track name, from 1; 0 when the settings file
  // does not keep it. It is also its column in the track table, so the fields without a column
  // come last on the line.
  int linePlace = 0;
  // Its row in the settings group, from 1; 0 when the group has no box for it.
  int editorPlace = 0;
  // The settings group leaves the box as it is when no track is selected.
  bool keptWithoutTrack = false;
};

// Every field, in the order --set's help lists them.
std::span<const TrackField> trackSettingsFields();

// The field --set knows by `name`; nothing when there is none.
const TrackField* findTrackField(std::string_view name);

// The fields that have a place of the kind `place` picks (linePlace or editorPlace), in its order.
std::vector<const TrackField*> fieldsInPlaceOrder(int TrackField::*place);

// The fields the track table shows after the track's name, each in the column of its linePlace.
std::vector<const TrackField*> tableColumnFields();

// A Number, a SplitMethod, or a Flag as 1 or 0. Not for a Name.
int32_t numberOf(const TrackField& field, const TrackSettings& settings);
// Sets a Number or a SplitMethod to `value`, or a Flag to whether `value` is not 0.
void setNumber(const TrackField& field, TrackSettings& settings, int32_t value);

// Puts every field but the names at its default, as a listed track row starts.
void setFieldDefaults(TrackSettings& settings);

}  // namespace rendlow
