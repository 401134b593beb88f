#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/diagnostics.h"
#include "slicer/track_settings.h"
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

using Lines = std::vector<std::string>;

// One line per layout event: what it is, its output tick and its delta ("on 60 @960 +960").
inline std::string describe(const MidiEvent& e) {
  std::string what;
  switch (e.kind) {
    case EventKind::NoteOn:
      what = (e.signedData(1) > 0 ? "on " : "off ") + std::to_string(e.signedData(0));
      break;
    case EventKind::NoteOff:
      what = "off " + std::to_string(e.signedData(0));
      break;
    case EventKind::ControlChange:
      what = "cc " + std::to_string(e.signedData(0)) + "=" + std::to_string(e.signedData(1));
      break;
    case EventKind::Meta:
      what = e.metaType == kMetaEndOfTrack ? "end" : "meta " + std::to_string(e.metaType);
      break;
    default:
      what = "other";
      break;
  }
  return what + " @" + std::to_string(e.tick) + " +" + std::to_string(e.delta);
}

inline Lines describe(const EventList& layout) {
  Lines lines;
  for (const auto& e : layout) lines.push_back(describe(*e));
  return lines;
}

}  // namespace rendlow::test
