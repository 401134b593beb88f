#pragma once

// A song read from the bytes a MIDI builder wrote, then run through the slicer's stages in the
// conversion's order: the notes of every enabled track, every layout, the re-timing of all.
// Header only, for the suites that link the slicer.

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "slicer/layout_retiming.h"
#include "slicer/note_extraction.h"
#include "slicer/render_layout.h"
#include "support/midi_builder.h"
#include "support/read_song.h"

namespace rendlow::test {

struct ConvertedSong {
  // The last of `trackSettings` goes to every further track.
  ConvertedSong(const Bytes& file, std::vector<TrackSettings> trackSettings, int32_t maxCycles = kMaxRetimingCycles)
      : settings(std::move(trackSettings)) {
    song = readSong(file);
    Diagnostics quiet;
    settings.resize(song.tracks.size(), settings.back());
    sliced.resize(song.tracks.size());
    for (std::size_t i = 0; i < song.tracks.size(); ++i) {
      if (settings[i].enabled) sliced[i] = extractNotes(song.tracks[i], settings[i], song.tempos, quiet);
    }
    for (std::size_t i = 0; i < song.tracks.size(); ++i) {
      if (!settings[i].enabled) continue;
      EXPECT_TRUE(buildRenderLayout(song.tracks[i], static_cast<int32_t>(i), sliced[i], settings[i], song.tempos));
    }
    Diagnostics diagnostics(&lines);
    report = settleLayout(song, sliced, settings, diagnostics, maxCycles);
  }

  // The layout tick of every event of a track, checking that every delta is whole and that every
  // moved event knows its tick.
  std::vector<int64_t> ticks(std::size_t track) const {
    std::vector<int64_t> result;
    int64_t tick = 0;
    for (const MidiEvent& e : song.tracks[track].events) {
      result.push_back(tick += e.delta);
      EXPECT_GE(e.delta, 0);
      EXPECT_TRUE(e.tick == tick || !(e.startsNote() || e.isMeta(kMetaTempo)));
    }
    return result;
  }

  Song song;
  std::vector<TrackSettings> settings;
  std::vector<SlicedTrack> sliced;
  std::ostringstream lines;
  SettleReport report;
};

}  // namespace rendlow::test
