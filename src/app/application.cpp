#include "app/application.h"

#include <cstdint>
#include <sstream>

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
  songAsRead_ = Song{};
  project.sliced.clear();
  const RunningStatus before = runningStatus;
  Result<Song> song = readKeepingLines(
      [&](Diagnostics& reading) { return rendlow::readMidiFile(path, runningStatus, reading); });
  if (diagnosticsStream_) *diagnosticsStream_ << readingLines_;
  project.song = song ? std::move(song).value() : Song{};
  project.settings.assign(project.song.tracks.size(), TrackSettings{});
  songRead_ = song ? Result<void>() : Result<void>(song.problem());
  keepSongForOutput(before);
  return *songRead_;
}

// An output has always met the song as a second reading of the file saw it, from the running
// status the first reading left. A first track that opens with a data byte takes that status, so
// the second reading can differ from the first: then the bytes are read again from that status.
void Application::keepSongForOutput(const RunningStatus& before) {
  statusAfterOutput_ = runningStatus;
  if (sameStatus(before, runningStatus)) {
    songAsRead_ = project.song;
    return;
  }
  Result<Song> again = readKeepingLines([&](Diagnostics& reading) {
    return readMidiBytes(project.song.bytes, statusAfterOutput_, reading);
  });
  songAsRead_ = again ? std::move(again).value() : Song{};
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

bool Application::getRowSettings(int n, TrackSettings& out) const {
  const int32_t track = project.listedTrack(n);
  if (track == kNone) return false;
  out = project.settings[static_cast<std::size_t>(track)];
  return true;
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
