#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/diagnostics.h"
#include "core/track_settings.h"
#include "midi/song.h"
#include "slicer/note.h"
#include "slicer/note_extraction.h"
#include "support/track_maker.h"

namespace rendlow::test {

// Builds the track, gives it the settings and runs the extraction (numbering included) silently.
inline std::shared_ptr<MidiTrack> sliced(TrackMaker& maker, const TrackSettings& settings = {}) {
  auto track = maker.build();
  track->settings = settings;
  Diagnostics silent;
  extractNotes(*track, silent);
  return track;
}

inline TrackSettings withSplit(SplitMethod method) {
  TrackSettings settings;
  settings.splitMethod = static_cast<int32_t>(method);
  return settings;
}

template <typename Field>
std::vector<int32_t> field(const MidiTrack& track, Field Note::*member) {
  std::vector<int32_t> values;
  for (const auto& note : track.notes) values.push_back(static_cast<int32_t>((*note).*member));
  return values;
}

// The first data byte of every event in list order with a marker for the kind, for order checks.
inline std::vector<int32_t> pitchesOf(const EventList& events, EventKind kind) {
  std::vector<int32_t> pitches;
  for (const auto& e : events) {
    if (e->kind == kind) pitches.push_back(e->signedData(0));
  }
  return pitches;
}

}  // namespace rendlow::test
