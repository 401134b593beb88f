#include "app/application.h"

#include <cstdint>

#include "app/paths.h"

namespace rendlow {

Result<void> Application::readMidiFile(const std::string& path) {
  project.settingsPath.clear();
  // The song read before goes first: a long song held twice would double the peak memory.
  project.song = Song{};
  project.sliced.clear();
  project.layout = {};
  Result<Song> song = rendlow::readMidiFile(path, runningStatus, diagnostics);
  project.song = song ? std::move(song).value() : Song{};
  project.settings.assign(project.song.tracks.size(), TrackSettings{});
  if (!song) return song.problem();
  project.inputPath = path;
  project.settingsPath = settingsPathFor(path);
  return {};
}

bool Application::getRowSettings(int n, TrackSettings& out) const {
  const int32_t track = project.listedTrack(n);
  if (track == kNone) return false;
  out = project.settings[static_cast<std::size_t>(track)];
  return true;
}

bool Application::applyRowSettings(int n, const TrackSettings& record) {
  const int32_t track = project.listedTrack(n);
  if (track == kNone || n >= static_cast<int>(rowSettings.size())) return false;
  applyRowSettings(n, static_cast<std::size_t>(track), record);
  return true;
}

void Application::applyRowSettings(int n, std::size_t track, const TrackSettings& record) {
  TrackSettings& settings = project.settings[track];
  settings.applyEdit(record);
  rowSettings[static_cast<std::size_t>(n)] = settings;
}

}  // namespace rendlow
