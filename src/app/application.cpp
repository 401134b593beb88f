#include "app/application.h"

#include <algorithm>
#include <cstdint>
#include <sstream>

#include "base/file_input.h"
#include "base/messages.h"

namespace rendlow {

namespace {

bool sameStatus(const RunningStatus& a, const RunningStatus& b) {
  return a.lastStatus == b.lastStatus && a.lastKind == b.lastKind;
}

}  // namespace

Result<Song> Application::readKeepingLines(const std::function<Result<Song>(Diagnostics&)>& read) {
  std::ostringstream lines;
  Diagnostics reading(diagnosticsStream_ ? &lines : nullptr);
  Result<Song> song = read(reading);
  readingLines_ = lines.str();
  return song;
}

Result<void> Application::readMidiFile(const std::string& path) {
  project.inputPath = path;
  // The song read before goes first: a long song held twice would double the peak memory.
  project.song = Song{};
  secondReading_.reset();
  project.sliced.clear();
  project.layout = {};
  const RunningStatus before = runningStatus;
  // The song keeps the file's bytes, then the names a format 0 split adds after them.
  std::size_t fileSize = 0;
  Result<Song> song = readKeepingLines([&](Diagnostics& reading) -> Result<Song> {
    Result<std::vector<uint8_t>> bytes =
        readWholeFile<std::vector<uint8_t>>(path, {readReason, folderReason});
    if (!bytes) {
      reading.print("Failed to open file\n");
      return bytes.problem();
    }
    fileSize = bytes->size();
    return readMidiBytes(std::move(bytes).value(), runningStatus, reading);
  });
  if (diagnosticsStream_) *diagnosticsStream_ << readingLines_;
  project.song = song ? std::move(song).value() : Song{};
  project.settings.assign(project.song.tracks.size(), TrackSettings{});
  songRead_ = song ? Result<void>() : Result<void>(song.problem());
  keepSongForOutput(before, fileSize);
  return *songRead_;
}

Result<void> Application::checkMidiFile(const std::string& path) const {
  Result<std::vector<uint8_t>> bytes = readWholeFile<std::vector<uint8_t>>(path, {readReason, folderReason});
  if (!bytes) return bytes.problem();
  RunningStatus status = runningStatus;
  Diagnostics silent(nullptr);
  if (Result<Song> song = readMidiBytes(std::move(bytes).value(), status, silent); !song) return song.problem();
  return {};
}

// An output has always met the song as a second reading of the file saw it, from the running
// status the first reading left. A file whose first event has no status byte takes that status,
// so the second reading can differ from the first: then the bytes are read again from that
// status. Every other song reads alike both times, and no stage writes into the song: the output
// converts the project's song itself, and no second copy of a long song is held.
void Application::keepSongForOutput(const RunningStatus& before, std::size_t fileSize) {
  statusAfterOutput_ = runningStatus;
  if (!runningStatus.carriedIntoFile || sameStatus(before, runningStatus)) return;
  const std::vector<uint8_t>& bytes = project.song.bytes;
  std::vector<uint8_t> file(bytes.begin(),
                            bytes.begin() + static_cast<std::ptrdiff_t>(std::min(fileSize, bytes.size())));
  Result<Song> again = readKeepingLines(
      [&](Diagnostics& reading) { return readMidiBytes(std::move(file), statusAfterOutput_, reading); });
  secondReading_ = again ? std::move(again).value() : Song{};
}

void Application::restoreSongAsRead() {
  std::vector<TrackSettings> rows;
  for (const std::size_t track : project.listedTracks()) rows.push_back(project.settings[track]);
  if (secondReading_) project.song = *secondReading_;
  project.settings.assign(project.song.tracks.size(), TrackSettings{});
  const std::vector<std::size_t> listed = project.listedTracks();
  for (std::size_t row = 0; row < std::min(rows.size(), listed.size()); ++row)
    project.settings[listed[row]].applyEdit(rows[row]);
}

const Result<void>& Application::revisitReading() {
  if (!songRead_) {
    (void)readMidiFile(project.inputPath);
    return *songRead_;
  }
  if (diagnosticsStream_) *diagnosticsStream_ << readingLines_;
  runningStatus = statusAfterOutput_;
  return *songRead_;
}

const TrackSettings* Application::findRowSettings(int n) const {
  const int32_t track = project.listedTrack(n);
  return track == kNone ? nullptr : &project.settings[static_cast<std::size_t>(track)];
}

const TrackSettings& Application::rowSettings(int n) const {
  return project.settings[static_cast<std::size_t>(project.listedTrack(n))];
}

bool Application::applyRowSettings(int n, const TrackSettings& record) {
  const int32_t track = project.listedTrack(n);
  if (track == kNone) return false;
  applyRowSettings(static_cast<std::size_t>(track), record);
  return true;
}

void Application::applyRowSettings(std::size_t track, const TrackSettings& record) {
  project.settings[track].applyEdit(record);
}

}  // namespace rendlow
