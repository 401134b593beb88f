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

// An output has always met the song as a second reading of the file would give it, from the
// running status the load's reading left: each output told the reader's progress lines again and
// left the running status that reading leaves. A file whose first event has no status byte takes
// the status carried in, so that reading can give another song than the load's. Worked out once,
// when the file is loaded.
struct OutputReading {
  Result<void> read;          // how the reading went: an output of a song that did not read is refused
  std::optional<Song> song;   // the song an output converts, where it differs from the one loaded
  std::string lines;          // the reader's progress lines, told again at each output
  RunningStatus statusAfter;  // the running status that reading leaves
};

// The state one running program keeps: the project, how an output meets its song, and the
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
  // project holds no tracks, and the problem says why (an output is refused with it).
  Result<void> readMidiFile(const std::string& path);
  // Whether `path` reads as a song, read as readMidiFile would read it now, with the project and
  // the running status left as they are: the window checks a file before it lets go of the song
  // it shows. The problem says why not.
  Result<void> checkMidiFile(const std::string& path) const;
  // Whether the last read gave a song.
  bool hasSong() const { return outputReading_ && outputReading_->read.ok(); }
  // How the last read went; only after one (readSongForOutput makes sure of it).
  const Result<void>& songReading() const { return outputReading_->read; }

  // What an output of the song does before it plans the conversion (see OutputReading): tells the
  // reader's lines again, leaves the running status that reading leaves, and takes the song it
  // gives (see useSongAsOutputReadsIt). Gives how the reading went. Before any load, the (empty)
  // input is read, so the reason is the one any unreadable file gets.
  const Result<void>& readSongForOutput();
  // Gives the project the song an output converts, with the rows' settings as they now stand, row
  // by row: the song an output meets can list other tracks than the table's.
  void useSongAsOutputReadsIt();

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
  // Runs a read, keeping the reader's progress lines (only when they are shown).
  struct Reading {
    Result<Song> song;
    std::string lines;
  };
  Reading readKeepingLines(const std::function<Result<Song>(Diagnostics&)>& read) const;
  OutputReading outputReadingOf(Result<void> read, std::string lines, const RunningStatus& before,
                                std::size_t fileSize) const;

  std::ostream* diagnosticsStream_;
  std::optional<OutputReading> outputReading_;  // none before the first read
};

}  // namespace rendlow
