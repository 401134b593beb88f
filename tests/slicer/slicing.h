#pragma once

// Songs for the slicer's tests, read from bytes the MIDI builder writes, exactly as the reader
// leaves them: voices, controller lists and tempo links included.

#include <string>
#include <vector>

#include "midi/midi_reader.h"
#include "slicer/note_extraction.h"
#include "slicer/render_layout.h"
#include "support/midi_builder.h"

namespace rendlow::test {

inline Song readSong(const MidiBuilder& builder) {
  RunningStatus running;
  Diagnostics quiet;
  return readMidiBytes(builder.bytes(), running, quiet).value();
}

inline TrackSettings withSplit(SplitMethod method) {
  TrackSettings settings;
  settings.splitMethod = static_cast<int32_t>(method);
  return settings;
}

// One track of a song, extracted with its settings (numbering included).
struct Sliced {
  Sliced(const MidiBuilder& builder, const TrackSettings& trackSettings = {}, std::size_t trackIndex = 0)
      : song(readSong(builder)), settings(trackSettings), index(trackIndex) {
    Diagnostics quiet;
    sliced = extractNotes(track(), settings, song.tempos, quiet);
  }
  MidiTrack& track() { return song.tracks.at(index); }
  std::vector<int32_t> field(int32_t Note::*member) const {
    std::vector<int32_t> values;
    for (const Note& note : sliced.notes) values.push_back(note.*member);
    return values;
  }
  // Lays the track out; one line per layout event, "on 60 @960 +960": what it is, its tick, its delta.
  std::vector<std::string> layout() {
    EXPECT_TRUE(buildRenderLayout(track(), static_cast<int32_t>(index), sliced, settings, song.tempos));
    std::vector<std::string> lines;
    for (const MidiEvent& e : track().events) lines.push_back(describe(e));
    return lines;
  }
  static std::string describe(const MidiEvent& e) {
    std::string what = "other";
    if (e.startsNote()) what = "on " + std::to_string(e.head[0]);
    if (e.endsNote()) what = "off " + std::to_string(e.head[0]);
    if (e.kind == EventKind::ControlChange) what = "cc " + std::to_string(e.head[0]) + "=" + std::to_string(e.head[1]);
    if (e.kind == EventKind::Meta) what = e.isMeta(kMetaEndOfTrack) ? "end" : "meta " + std::to_string(e.metaType);
    return what + " @" + std::to_string(e.tick) + " +" + std::to_string(e.delta);
  }

  Song song;
  TrackSettings settings;
  std::size_t index;
  SlicedTrack sliced;
};

using Ints = std::vector<int32_t>;
using Lines = std::vector<std::string>;

}  // namespace rendlow::test
