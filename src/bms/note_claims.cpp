#include "bms/note_claims.h"

#include <algorithm>
#include <utility>

namespace rendlow {

namespace {

// The notes of a track, in note-on order and so in tick order, from the first at `first` on.
std::size_t firstAtOrAfter(const std::vector<ChartNote>& notes, int64_t first) {
  const auto found =
      std::partition_point(notes.begin(), notes.end(), [&](const ChartNote& note) { return note.tick < first; });
  return static_cast<std::size_t>(found - notes.begin());
}

}  // namespace

std::optional<std::string> definitionNameOfSoundFile(std::string_view fileName,
                                                     std::span<const std::string> soundNames) {
  const std::optional<std::string_view> name = soundFileDefinitionName(fileName);
  if (!name || std::find(soundNames.begin(), soundNames.end(), *name) == soundNames.end()) return std::nullopt;
  return std::string(*name);
}

NoteClaims::NoteClaims(const Chart& chart) : chart_(chart) {
  for (std::size_t t = 0; t < chart.tracks.size(); ++t) trackOfName_[chart.tracks[t].definitionName] = t;
}

std::optional<NoteRef> NoteClaims::claim(const std::string& definitionName, int64_t first, int64_t last,
                                         const std::function<bool(const ChartNote&)>& at) {
  const auto track = trackOfName_.find(definitionName);
  if (track == trackOfName_.end()) return std::nullopt;
  const std::vector<ChartNote>& notes = chart_.tracks[track->second].notes;
  std::optional<NoteRef> found;
  for (std::size_t n = firstAtOrAfter(notes, first); n < notes.size() && notes[n].tick <= last; ++n) {
    const NoteRef ref{track->second, n};
    if (claimed_.contains(ref) || (at && !at(notes[n]))) continue;
    if (!found || notes[n].pitch < notes[found->note].pitch) found = ref;
  }
  if (found) claimed_.insert(*found);
  return found;
}

int32_t NoteClaims::unclaimedBesideClaimed() const {
  std::set<std::pair<std::size_t, int32_t>> places;
  for (const NoteRef& ref : claimed_) places.insert({ref.track, note(ref).tick});
  int32_t unclaimed = 0;
  for (const auto& [track, tick] : places) {
    const std::vector<ChartNote>& notes = chart_.tracks[track].notes;
    for (std::size_t n = firstAtOrAfter(notes, tick); n < notes.size() && notes[n].tick == tick; ++n)
      if (!claimed_.contains({track, n})) ++unclaimed;
  }
  return unclaimed;
}

}  // namespace rendlow
