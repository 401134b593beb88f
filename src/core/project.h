#pragma once

#include <memory>
#include <string>

#include "bms/chart.h"
#include "midi/song.h"

namespace rendlow {

// Everything one job works on: the song as read (and, after a conversion, its rendering layout),
// the chart built from it, and the texts of the chart header. One per application.
class Project {
public:
  Project() = default;
  Project(const Project&) = delete;
  Project& operator=(const Project&) = delete;

  MidiHeader header;
  TrackList tracks;
  ChartTrackList chartTracks;
  std::string genre = "TEMP";
  std::string title = "TEMP";
  std::string artist = "TEMP";
  std::string inputPath;
  std::string outputPath;
  std::string settingsPath;
  ChartBpmList chartBpms;
  TempoList tempos;
  BeatList beats;
  MeasureList measures;
  int32_t songEnd = 0;

  std::shared_ptr<Tempo> tempoAt(int32_t tick) const { return rendlow::tempoAt(tempos, tick); }
  std::shared_ptr<Beat> beatAt(int32_t tick) const { return rendlow::beatAt(beats, tick); }

  // Row n of the track table: the n-th track after the first whose hasContent is set.
  std::shared_ptr<MidiTrack> listedTrack(int n) const;
  // Every listed track in row order, found in one pass (listedTrack(n) walks the tracks each time).
  TrackList listedTracks() const;
};

}  // namespace rendlow
