#include "core/project.h"

namespace rendlow {

std::shared_ptr<MidiTrack> Project::listedTrack(int n) const {
  if (n < 0) return {};
  for (std::size_t i = 1; i < tracks.size(); ++i) {
    if (!tracks[i]->hasContent) continue;
    if (n-- == 0) return tracks[i];
  }
  return {};
}

TrackList Project::listedTracks() const {
  TrackList listed;
  for (std::size_t i = 1; i < tracks.size(); ++i) {
    if (tracks[i]->hasContent) listed.push_back(tracks[i]);
  }
  return listed;
}

}  // namespace rendlow
