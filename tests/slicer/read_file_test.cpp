// The engine on a track as the MIDI reader leaves it: tempo links from another track, the
// controller numbers collected while reading, running status, note-offs written as note-ons.

#include <gtest/gtest.h>

#include <sstream>

#include "app/application.h"
#include "slicer/render_layout.h"
#include "slicing_helpers.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"

namespace rendlow::test {
namespace {

TEST(ReadFile, ASongReadFromAFileIsSlicedAndLaidOut) {
  MidiBuilder song(480);
  song.track().tempoBpm(0, 120.0).tempoBpm(3840, 150.0).endOfTrack(4000);
  TrackBuilder& lead = song.track();
  lead.name("lead").useRunningStatus().controlChange(0, 1, 7, 100);
  for (int32_t tick : {0, 960, 3840}) {
    lead.noteOn(tick, 1, 60, 100)
        .noteOn(tick, 1, 64, 100)
        .noteOn(tick + 480, 1, 60, 0)
        .noteOn(tick + 480, 1, 64, 0);
  }
  lead.noteOn(4500, 1, 67, 90).endOfTrack(4800);  // the last note is never ended
  TempDir dir;
  song.write(dir.file("song.mid"));

  std::ostringstream lines;
  Application app(&lines);
  ASSERT_TRUE(app.readMidiFile(dir.file("song.mid")));
  MidiTrack& track = *app.project.tracks.at(1);
  lines.str("");
  extractNotes(track, app.diagnostics);
  EXPECT_EQ(lines.str(),
            "NoteOn: 0 480 60\nNoteOn: 0 480 64\nNoteOn: 960 480 60\nNoteOn: 960 480 64\n"
            "NoteOn: 3840 480 60\nNoteOn: 3840 480 64\nNoteOn: 4500 300 67\n");
  // The chord under 150 BPM is another sound than the two under 120 BPM.
  EXPECT_EQ(field(track, &Note::sound), (std::vector<int32_t>{0, 0, 0, 0, 1, 1, 2}));
  EXPECT_EQ(field(track, &Note::definition), (std::vector<int32_t>{0, 0, 0, 0, 1, 1, 2}));
  EXPECT_EQ(describe(buildRenderLayout(track).value()),
            (Lines{"meta 3 @0 +0", "cc 7=100 @0 +0", "on 60 @0 +0", "on 64 @0 +0", "off 60 @480 +480",
                   "off 64 @480 +0", "cc 7=100 @1440 +960", "on 60 @1440 +0", "on 64 @1440 +0",
                   "off 60 @1920 +480", "off 64 @1920 +0", "cc 7=100 @2880 +960", "on 67 @2880 +0",
                   "off 67 @3180 +300", "end @3180 +0"}));
}

}  // namespace
}  // namespace rendlow::test
