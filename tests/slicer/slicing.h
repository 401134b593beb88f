#pragma once

// One track of a song read from the bytes a MIDI builder wrote, exactly as the reader leaves it
// (voices, controller lists, tempo links), extracted with its settings, numbering included.

#include <ostream>
#include <string>
#include <vector>

#include "midi/midi_reader.h"
#include "slicer/note_extraction.h"
#include "slicer/render_layout.h"
#include "support/midi_builder.h"

namespace rendlow::test {

using Ints = std::vector<int32_t>;
using Lines = std::vector<std::string>;

inline TrackSettings withSplit(SplitMethod method) {
  TrackSettings settings;
  settings.splitMethod = static_cast<int32_t>(method);
  return settings;
}

struct Sliced {
  Sliced(const MidiBuilder& builder, const TrackSettings& trackSettings = {}, std::size_t trackIndex = 0,
         std::ostream* lines = nullptr)
      : settings(trackSettings), index(trackIndex) {
    RunningStatus running;
    Diagnostics quiet;
    song = readMidiBytes(builder.bytes(), running, quiet).value();
    Diagnostics diagnostics(lines);
    sliced = extractNotes(track(), settings, song.tempos, diagnostics);
  }
  MidiTrack& track() { return song.tracks.at(index); }
  Ints field(int32_t Note::*member) const {
    Ints values;
    for (const Note& note : sliced.notes) values.push_back(note.*member);
    return values;
  }
  // Lays the track out: one line per event, "on 60 @960 +960" (what it is, its tick, its delta).
  Lines layout() {
    EXPECT_TRUE(buildRenderLayout(track(), static_cast<int32_t>(index), sliced, settings, song.tempos));
    Lines lines;
    for (const MidiEvent& e : track().events) lines.push_back(describe(e));
    return lines;
  }
  static std::string describe(const MidiEvent& e) {
    std::string what = e.kind == EventKind::Meta ? "meta " + std::to_string(e.metaType) : "other";
    if (e.startsNote() || e.endsNote()) what = (e.startsNote() ? "on " : "off ") + std::to_string(e.head[0]);
    if (e.kind == EventKind::ControlChange) what = "cc " + std::to_string(e.head[0]) + "=" + std::to_string(e.head[1]);
    if (e.isMeta(kMetaEndOfTrack)) what = "end";
    return what + " @" + std::to_string(e.tick) + " +" + std::to_string(e.delta);
  }

  Song song;
  TrackSettings settings;
  std::size_t index;
  SlicedTrack sliced;
};

}  // namespace rendlow::test
