#include "core/application.h"

namespace rendlow {

bool Application::getRowSettings(int n, TrackSettings& out) const {
  const auto track = project.listedTrack(n);
  if (!track) return false;
  out = track->settings;
  return true;
}

bool Application::applyRowSettings(int n, const TrackSettings& record) {
  const auto track = project.listedTrack(n);
  if (!track || n >= static_cast<int>(rowSettings.size())) return false;
  applyRowSettings(n, *track, record);
  return true;
}

void Application::applyRowSettings(int n, MidiTrack& track, const TrackSettings& record) {
  track.settings.applyEdit(record);
  rowSettings[static_cast<std::size_t>(n)] = track.settings;
}

}  // namespace rendlow
