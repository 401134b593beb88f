#include "app/project.h"

#include <algorithm>
#include <map>

namespace rendlow {

namespace {

// The file's first track is a format 1 song's conductor: it gets a row only when it plays a part
// of its own, as a track after it does.
bool isListed(const Song& song, std::size_t track) {
  const MidiTrack& read = song.tracks[track];
  if (!read.hasContent) return false;
  return track > 0 || std::any_of(read.events.begin(), read.events.end(),
                                  [](const MidiEvent& event) { return isChannelKind(event.kind); });
}

bool cutShort(const Song& song) {
  return std::any_of(song.damage.begin(), song.damage.end(),
                     [](const ReadDamage& damage) { return damage.stopsReading(); });
}

}  // namespace

int32_t Project::listedTrack(int n) const {
  if (n < 0) return kNone;
  for (std::size_t i = 0; i < song.tracks.size(); ++i) {
    if (!isListed(song, i)) continue;
    if (n-- == 0) return static_cast<int32_t>(i);
  }
  return kNone;
}

std::vector<std::size_t> Project::listedTracks() const {
  std::vector<std::size_t> listed;
  for (std::size_t i = 0; i < song.tracks.size(); ++i) {
    if (isListed(song, i)) listed.push_back(i);
  }
  return listed;
}

void Project::keepRecordsOfUnreadTracks(const std::vector<TrackSettings>& records) {
  recordsOfUnreadTracks.clear();
  if (!cutShort(song)) return;
  std::map<std::string, std::size_t> tracksOfName;
  for (const std::size_t track : listedTracks()) ++tracksOfName[song.tracks[track].name];
  std::map<std::string, std::size_t> recordsOfName;
  for (const TrackSettings& record : records) {
    if (recordsOfName[record.trackName]++ >= tracksOfName[record.trackName])
      recordsOfUnreadTracks.push_back(record);
  }
}

}  // namespace rendlow
