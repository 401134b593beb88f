#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/project.h"
#include "base/diagnostics.h"
#include "base/result.h"
#include "midi/midi_reader.h"

namespace rendlow {

// The state one running program keeps: the project, the song as the load read it, and the
// reader's running status, which carries over from file to file. No globals: the desktop program
// makes exactly one of these, tests make as many as they like.
class Application {
public:
  explicit Application(std::ostream* diagnosticsStream = nullptr)
      : diagnostics(diagnosticsStream), diagnosticsStream_(diagnosticsStream) {}
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  Project project;
  RunningStatus runningStatus;
  Diagnostics diagnostics;

  // Reads a MIDI file into the project, replacing the song it held; every track starts from the
  // default settings, and the project's input is `path` whether or not it reads. On failure the
  // project holds no tracks, and the problem says why (songRead keeps it for the output).
  Result<void> readMidiFile(const std::string& path);
  // Whether `path` reads as a song, read as readMidiFile would read it now, with the project and
  // the running status left as they are: the window checks a file before it lets go of the song
  // it shows. The problem says why not.
  Result<void> checkMidiFile(const std::string& path) const;
  // Whether the last read gave a song.
  bool hasSong() const { return songRead_ && songRead_->ok(); }
  // How the last read went, as an output of the song meets it: an output of a song that did not
  // read is refused with this reason. The reader's progress lines are told again, as when each
  // output read the file afresh, so that verbose records of two versions compare line for line.
  // Before any load the (empty) input is read, so the reason is the one any unreadable file gets.
  const Result<void>& revisitReading();
  // Gives the project the song an output converts, with the settings as they now stand, row by row
  // (see keepSongForOutput: the song an output meets can list other tracks than the table's).
  void restoreSongAsRead();

  // The settings of listed track n (row n of the track table); null when there is no such track.
  const TrackSettings* findRowSettings(int n) const;
  // The settings of row n, which must be listed.
  const TrackSettings& rowSettings(int n) const;
  // Applies an edit record to listed track n (kept values stay). False, and nothing changed, when
  // there is no listed track n.
  bool applyRowSettings(int n, const TrackSettings& record);
  // The same for song track `track`, which must be listed track n. For flows that visit every row:
  // finding each track with listedTrack(n) would walk all tracks per row, while listedTracks()
  // finds them all in one pass.
  void applyRowSettings(std::size_t track, const TrackSettings& record);

private:
  // Runs a read with the reader's progress lines kept in readingLines_ (only when they are shown).
  Result<Song> readKeepingLines(const std::function<Result<Song>(Diagnostics&)>& read);
  void keepSongForOutput(const RunningStatus& before, std::size_t fileSize);

  std::ostream* diagnosticsStream_;
  // What each output converts when a second reading of the file differs from the first.
  std::optional<Song> secondReading_;
  std::optional<Result<void>> songRead_;  // none before the first read
  std::string readingLines_;            // the progress lines of the reading each output converts
  RunningStatus statusAfterOutput_;     // the status a reading for the output would leave
};

}  // namespace rendlow
