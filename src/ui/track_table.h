#pragma once

#include <string>
#include <vector>

#include "app/conversion.h"
#include "app/project.h"
#include "slicer/track_fields.h"
#include "ui/list_view.h"

namespace rendlow::ui {

// The track table's columns: the check box with the track's name, one per field a settings-file
// line keeps, and the count of sounds the last conversion gave each track. Each header is short;
// its tooltip gives the full name.
void addTrackColumns(ListView& table);

// Widens the columns by `extra` pixels in all, each by its share of the columns' first widths, so
// that an `extra` of 0 gives back exactly those widths.
void growTrackColumns(ListView& table, int extra);

// The split methods by their value, as the table and the settings group's drop-down name them.
std::vector<std::string> splitMethodNames();

// What the track table shows of a field.
std::string cellText(const TrackField& field, const TrackSettings& settings);

// Shows in each row how many sounds `converted`, the project's last conversion, made of the row's
// track; an empty cell for a track it did not convert.
void showSoundCounts(ListView& table, const Project& project, const Converted& converted);

}  // namespace rendlow::ui
