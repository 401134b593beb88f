#pragma once

// A song read from the bytes a MIDI builder wrote, then run through the slicer's stages in the
// conversion's order: the notes of every enabled track, every layout, the re-timing of all.
// Header only, for the suites that link the slicer.

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <vector>

#include "slicer/retiming.h"
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
    Diagnostics extraction(&extracted);
    settings.resize(song.tracks.size(), settings.back());
    sliced.resize(song.tracks.size());
    for (std::size_t i = 0; i < song.tracks.size(); ++i) {
      if (!settings[i].enabled) {
        laidOut.push_back(trackAsRead(song.tracks[i]));
        continue;
      }
      sliced[i] = extractNotes(song.tracks[i], settings[i], song.tempos, extraction);
      Result<LaidOutTrack> track = layOutTrack(song.tracks[i], sliced[i], static_cast<int32_t>(i), settings[i], song.tempos);
      EXPECT_TRUE(track);
      laidOut.push_back(track ? std::move(track).value() : LaidOutTrack{});
    }
    Diagnostics diagnostics(&lines);
    RetimedLayout retimed = retimeLayout(RenderingLayout{laidOut}, song, sliced, settings, diagnostics, maxCycles);
    layout = std::move(retimed.layout);
    tempos = std::move(retimed.tempos);
    report = retimed.report;
  }

  // The layout tick of every event of a track, checking that no event comes before the one
  // before it.
  std::vector<int64_t> ticks(std::size_t track) const {
    std::vector<int64_t> result;
    for (const TimedEvent& e : layout.tracks[track].events) {
      EXPECT_GE(e.tick, result.empty() ? 0 : result.back());
      result.push_back(e.tick);
    }
    return result;
  }

  Song song;
  std::vector<TrackSettings> settings;
  std::vector<SlicedTrack> sliced;
  std::ostringstream extracted;        // what the extraction printed
  std::vector<LaidOutTrack> laidOut;   // each track's layout before the re-timing
  RenderingLayout layout;
  std::vector<RetimedTempo> tempos;
  std::ostringstream lines;  // what the re-timing printed
  RetimingReport report;
};

}  // namespace rendlow::test
