#pragma once

#include <string>
#include <vector>

#include "base/result.h"
#include "slicer/track_settings.h"

namespace rendlow {

class Project;

// Everything a settings file holds, as read back: the MIDI file, the last output name, one record
// per "tr" line in file order, and the chart header texts. Empty until something is read.
struct SettingsFileContents {
  std::string inputPath;
  std::string outputPath;
  std::vector<TrackSettings> records;
  std::string genre;
  std::string title;
  std::string artist;
  std::string chartDigest;  // of the chart last written; empty when the file keeps none
  // The file was UTF-8 with a byte order mark, as Notepad saves it, and was read converted to the
  // program's texts; the program writes it back in code page 932.
  bool readAsUtf8 = false;
};

// The longest line a settings file may hold, line end excluded: readers keep lines in 512-byte
// buffers, so a longer one cannot be read back.
inline constexpr std::size_t kMaxSettingsLineBytes = 511;

// Writes the project's settings file at `path`, replacing any file there in one step:
// the input and output paths (relative to the settings file's folder where the project asks it), one "tr"
// line per listed track in row order and one per record of a track the song lost to damage, then
// genre, title and artist, and the digest of the chart last written when one is known. When any line would be longer than kMaxSettingsLineBytes nothing is
// written (the file that was there stays) and the reason names the line, so no setup is ever saved
// cut short.
Result<void> saveSettings(const Project& project, const std::string& path);

// Reads a settings file. Paths that are not absolute are taken from the settings file's folder.
// Fails, with the reason, when the file cannot be read or a line is longer than
// kMaxSettingsLineBytes (which no saved file has: it was damaged or written by hand), or a "tr"
// line cannot be read whole (see readTrackFields) or gives a definition name that cannot name a
// file (see isSafeFileName); the reason names the line. Other keys and lines without a TAB are
// not errors. Lines may end in LF or CR LF. A file starting with a UTF-8 byte order mark is read as
// UTF-8 (see readAsUtf8): a line that is not UTF-8, or holds a character code page 932 lacks, is
// refused by its number.
Result<SettingsFileContents> loadSettings(const std::string& path);

// Whether the settings file of the song at `songPath` may be written at `path`: nothing is there,
// or a settings file whose "i" line names that song (the same file, read as loadSettings resolves
// it). Anything else there is the author's (a lyrics file, the setup of another song, a file that
// does not read as a settings file) and must never be replaced.
bool mayHoldSettingsOf(const std::string& path, const std::string& songPath);

}  // namespace rendlow
