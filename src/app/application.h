#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "app/project.h"
#include "base/diagnostics.h"
#include "base/result.h"
#include "midi/midi_reader.h"

namespace rendlow {

// The state one running program keeps: the project, the settings shown in the track table's
// rows, the MIDI file the rows belong to, and the reader's running status, which carries over
// from file to file. No globals: the desktop program makes exactly one of these, tests make as
// many as they like.
class Application {
public:
  explicit Application(std::ostream* diagnosticsStream = nullptr) : diagnostics(diagnosticsStream) {}
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  Project project;
  std::vector<TrackSettings> rowSettings;
  std::string loadedMidiPath;
  RunningStatus runningStatus;
  Diagnostics diagnostics;

  // Reads a MIDI file into the project, replacing the song it held; every track starts from the
  // default settings. On failure the project holds no tracks, and the problem says why.
  Result<void> readMidiFile(const std::string& path);

  // Copies the settings of listed track n; false when there is no such track.
  bool getRowSettings(int n, TrackSettings& out) const;
  // Applies an edit record to listed track n (kept values stay), then stores in row n the
  // settings the track now has. False, and nothing changed, when there is no listed track n.
  bool applyRowSettings(int n, const TrackSettings& record);
  // The same for song track `track`, which must be listed track n, with rowSettings holding an
  // entry n. For flows that visit every row: finding each track with listedTrack(n) would walk
  // all tracks per row, while listedTracks() finds them all in one pass.
  void applyRowSettings(int n, std::size_t track, const TrackSettings& record);
};

}  // namespace rendlow
