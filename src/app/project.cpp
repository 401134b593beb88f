#include "app/project.h"

namespace rendlow {

int32_t Project::listedTrack(int n) const {
  if (n < 0) return kNone;
  for (std::size_t i = 1; i < song.tracks.size(); ++i) {
    if (!song.tracks[i].hasContent) continue;
    if (n-- == 0) return static_cast<int32_t>(i);
  }
  return kNone;
}

std::vector<std::size_t> Project::listedTracks() const {
  std::vector<std::size_t> listed;
  for (std::size_t i = 1; i < song.tracks.size(); ++i) {
    if (song.tracks[i].hasContent) listed.push_back(i);
  }
  return listed;
}

std::vector<std::size_t> Project::convertedTracks() const {
  std::vector<std::size_t> converted;
  for (std::size_t i = 0; i < song.tracks.size(); ++i) {
    if (song.tracks[i].hasContent && settings[i].enabled) converted.push_back(i);
  }
  return converted;
}

}  // namespace rendlow
