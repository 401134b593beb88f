#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "bms/chart.h"
#include "midi/song.h"
#include "slicer/track_settings.h"

namespace rendlow {

// What one job works on: the song as read and what the author edited of it (each track's settings,
// the texts of the chart header) and the files it was read from and is written to. What the stages
// make of it is a value of its own (see Converted), never kept here. One per application.
class Project {
public:
  Project() = default;
  Project(const Project&) = delete;
  Project& operator=(const Project&) = delete;

  Song song;
  std::vector<TrackSettings> settings;  // one per track of the song
  ChartHeader chartHeader;
  std::string inputPath;   // the MIDI file loaded, whether or not it read
  std::string outputPath;  // the rendering file the settings file names: the last one written
  // The digest (see chartDigest) of the chart the last output wrote, as the settings file keeps it:
  // a chart on disk that differs from it is the author's work. Empty when none is known.
  std::string chartDigest;
  // Whether the settings file keeps its paths relative to its own folder where it can (the
  // command line, so that a song's folder can move), or as they were given (the desktop program,
  // whose dialog gives absolute paths).
  bool relativeSettingsPaths = false;
  // The settings file loaded was UTF-8 (see SettingsFileContents::readAsUtf8): the one an output
  // writes is code page 932, as every settings file the program writes, which the author is told.
  bool settingsReadAsUtf8 = false;
  // The settings file's records that no track took because the song was cut short by damage, in
  // file order: they are saved after the rows, so the author's setup of the tracks the damage hid
  // comes back once the whole song reads again.
  std::vector<TrackSettings> recordsOfUnreadTracks;

  // Row n of the track table: the position in song.tracks of the n-th listed track; kNone when
  // there is none. A track is listed when its hasContent is set; the file's first track, which
  // holds the tempo map, only when it also plays (holds a channel event).
  int32_t listedTrack(int n) const;
  // Every listed track in row order, found in one pass (listedTrack(n) walks the tracks each time).
  std::vector<std::size_t> listedTracks() const;
  // Keeps, in recordsOfUnreadTracks, the settings file's records that no listed track takes (the
  // k-th record of a name goes to the k-th listed track of that name) when the song was read only
  // as far as its damage let; none for a song read whole, whose records of other tracks are stale.
  void keepRecordsOfUnreadTracks(const std::vector<TrackSettings>& records);
};

}  // namespace rendlow
