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

Application::Reading Application::readKeepingLines(
    const std::function<Result<Song>(Diagnostics&)>& read) const {
  std::ostringstream lines;
  Diagnostics reading(diagnosticsStream_ ? &lines : nullptr);
  Result<Song> song = read(reading);
  return {std::move(song), lines.str()};
}

Result<void> Application::readMidiFile(const std::string& path) {
  project.inputPath = path;
  // The song read before goes first: a long song held twice would double the peak memory.
  project.song = Song{};
  outputReading_.reset();
  const RunningStatus before = runningStatus;
  // The song keeps the file's bytes, then the names a format 0 split adds after them.
  std::size_t fileSize = 0;
  Reading first = readKeepingLines([&](Diagnostics& reading) -> Result<Song> {
    Result<std::vector<uint8_t>> bytes =
        readWholeFile<std::vector<uint8_t>>(path, {readReason, folderReason});
    if (!bytes) {
      reading.print("Failed to open file\n");
      return bytes.problem();
    }
    fileSize = bytes->size();
    return readMidiBytes(std::move(bytes).value(), runningStatus, reading);
  });
  if (diagnosticsStream_) *diagnosticsStream_ << first.lines;
  Result<void> read = first.song ? Result<void>() : Result<void>(first.song.problem());
  project.song = first.song ? std::move(first.song).value() : Song{};
  project.settings.assign(project.song.tracks.size(), TrackSettings{});
  outputReading_ = outputReadingOf(std::move(read), std::move(first.lines), before, fileSize);
  return outputReading_->read;
}

Result<void> Application::checkMidiFile(const std::string& path) const {
  Result<std::vector<uint8_t>> bytes = readWholeFile<std::vector<uint8_t>>(path, {readReason, folderReason});
  if (!bytes) return bytes.problem();
  RunningStatus status = runningStatus;
  Diagnostics silent(nullptr);
  if (Result<Song> song = readMidiBytes(std::move(bytes).value(), status, silent); !song)
    return song.problem();
  return {};
}

// Every song but one whose first event takes the status carried in reads alike both times, and no
// stage writes into the song: the output converts the project's song itself, and no second copy of
// a long song is held.
OutputReading Application::outputReadingOf(Result<void> read, std::string lines, const RunningStatus& before,
                                           std::size_t fileSize) const {
  OutputReading reading{std::move(read), std::nullopt, std::move(lines), runningStatus};
  if (!runningStatus.carriedIntoFile || sameStatus(before, runningStatus)) return reading;
  const std::vector<uint8_t>& bytes = project.song.bytes;
  std::vector<uint8_t> file(bytes.begin(),
                            bytes.begin() + static_cast<std::ptrdiff_t>(std::min(fileSize, bytes.size())));
  Reading again = readKeepingLines(
      [&](Diagnostics& lines) { return readMidiBytes(std::move(file), reading.statusAfter, lines); });
  reading.lines = std::move(again.lines);
  reading.song = again.song ? std::move(again.song).value() : Song{};
  return reading;
}

const Result<void>& Application::readSongForOutput() {
  if (!outputReading_) {
    (void)readMidiFile(project.inputPath);
  } else {
    if (diagnosticsStream_) *diagnosticsStream_ << outputReading_->lines;
    runningStatus = outputReading_->statusAfter;
  }
  if (outputReading_->read) useSongAsOutputReadsIt();
  return outputReading_->read;
}

void Application::useSongAsOutputReadsIt() {
  std::vector<TrackSettings> rows;
  for (const std::size_t track : project.listedTracks()) rows.push_back(project.settings[track]);
  if (outputReading_ && outputReading_->song) project.song = *outputReading_->song;
  project.settings.assign(project.song.tracks.size(), TrackSettings{});
  const std::vector<std::size_t> listed = project.listedTracks();
  for (std::size_t row = 0; row < std::min(rows.size(), listed.size()); ++row)
    project.settings[listed[row]].applyEdit(rows[row]);
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
