#include <gtest/gtest.h>

#include <string>

#include "slicer/render_layout.h"
#include "slicing_helpers.h"

namespace rendlow::test {
namespace {

using Lines = std::vector<std::string>;

// One line per layout event: what it is, its output tick and its delta.
std::string describe(const MidiEvent& e) {
  std::string what;
  switch (e.kind) {
    case EventKind::NoteOn: what = (e.signedData(1) > 0 ? "on " : "off ") + std::to_string(e.signedData(0)); break;
    case EventKind::NoteOff: what = "off " + std::to_string(e.signedData(0)); break;
    case EventKind::ControlChange:
      what = "cc " + std::to_string(e.signedData(0)) + "=" + std::to_string(e.signedData(1));
      break;
    case EventKind::Meta: what = e.metaType == kMetaEndOfTrack ? "end" : "meta " + std::to_string(e.metaType); break;
    default: what = "other"; break;
  }
  return what + " @" + std::to_string(e.tick) + " +" + std::to_string(e.delta);
}

Lines describe(const EventList& layout) {
  Lines lines;
  for (const auto& e : layout) lines.push_back(describe(*e));
  return lines;
}

// A track whose events all link to one tempo change of another track.
TrackMaker underOneTempo() {
  TrackMaker conductor;
  conductor.tempo(0, 120.0f);
  conductor.build();
  TrackMaker maker;
  maker.useTempos(conductor.tempos());
  return maker;
}

TEST(RenderLayout, WorkedExample) {
  TrackMaker maker = underOneTempo();
  maker.note(0, 480, 60).note(240, 480, 62).note(1920, 480, 60).note(3840, 480, 64).endOfTrack(4800);
  auto track = sliced(maker);
  const EventList asRead = track->events;
  const EventList layout = buildRenderLayout(*track);
  EXPECT_EQ(describe(layout), (Lines{"on 60 @0 +0", "off 60 @480 +480", "on 62 @1440 +960", "off 62 @1920 +480",
                                     "on 64 @2880 +960", "off 64 @3360 +480", "end @3360 +0"}));
  EXPECT_EQ(track->events, layout);
  EXPECT_EQ(track->originalEvents, asRead);
  // Copies, not the events as read, which keep their ticks; links still lead to the notes.
  EXPECT_NE(layout[0], asRead[0]);
  EXPECT_EQ(asRead[6]->tick, 3840);
  EXPECT_EQ(layout[2]->note.lock(), track->notes[1]);
  EXPECT_EQ(layout[0]->index, 0);
  EXPECT_EQ(layout[2]->next, asRead[1]->next);
}

TEST(RenderLayout, PresetsRestoreTheControllersBeforeASoundStart) {
  TrackMaker maker = underOneTempo();
  maker.controlChange(0, 7, 100, 3).controlChange(0, 10, 64, 3).note(480, 480, 60, 100, 3);
  auto track = sliced(maker);
  const EventList layout = buildRenderLayout(*track);
  EXPECT_EQ(describe(layout), (Lines{"cc 7=100 @0 +0", "cc 10=64 @0 +0", "cc 7=100 @960 +960", "cc 10=64 @960 +0",
                                     "on 60 @960 +0", "off 60 @1440 +480"}));
  const MidiEvent& first = *layout[2];
  const MidiEvent& second = *layout[3];
  const MidiEvent& noteOn = *layout[4];
  EXPECT_EQ(first.status, 0xB0);  // the first channel, whatever the note's channel
  EXPECT_EQ(first.length, 2);
  EXPECT_EQ(first.metaType, -1);
  EXPECT_TRUE(first.note.expired());
  EXPECT_TRUE(first.tempo.expired());
  EXPECT_EQ(layout[1]->status, 0xB3);
  EXPECT_EQ(first.next, &noteOn);
  EXPECT_EQ(second.next, &noteOn);
  EXPECT_EQ(second.prev, &first);
  EXPECT_EQ(noteOn.prev, &second);
  EXPECT_EQ(first.prev, track->originalEvents[1].get());
}

TEST(RenderLayout, ATempoChangeOpeningTheTrackTakesTheGap) {
  TrackMaker maker;
  maker.tempo(0, 120.0f).controlChange(0, 7, 100).note(0, 480, 60).note(480, 480, 62);
  auto track = sliced(maker);
  EXPECT_EQ(describe(buildRenderLayout(*track)),
            (Lines{"meta 81 @960 +960", "cc 7=100 @960 +0", "on 60 @960 +0", "off 60 @1440 +480", "cc 7=100 @2400 +960",
                   "on 62 @2400 +0", "off 62 @2880 +480"}));
}

TEST(RenderLayout, APostponedStretchIsWalkedTwice) {
  TrackMaker maker = underOneTempo();
  maker.noteOn(0, 60).noteOn(240, 62).controlChange(360, 1, 5).noteOff(480, 62).noteOff(960, 60);
  auto track = sliced(maker, withSplit(SplitMethod::Single));
  EXPECT_EQ(describe(buildRenderLayout(*track)),
            (Lines{"on 60 @0 +0", "cc 1=5 @360 +360", "off 60 @960 +600", "cc 1=0 @1920 +960", "on 62 @1920 +0",
                   "cc 1=5 @2040 +120", "off 62 @2160 +120"}));
}

TEST(RenderLayout, ATempoChangeFollowsItsLatestCopy) {
  TrackMaker maker = underOneTempo();
  maker.noteOn(0, 60).noteOn(240, 62).tempo(300, 90.0f).noteOff(480, 62).noteOff(960, 60);
  auto track = sliced(maker, withSplit(SplitMethod::Single));
  const auto layout = buildRenderLayout(*track);
  EXPECT_EQ(describe(layout), (Lines{"on 60 @0 +0", "meta 81 @300 +300", "off 60 @960 +660", "on 62 @1920 +960",
                                     "meta 81 @1980 +60", "off 62 @2160 +180"}));
  const auto& tempos = maker.tempos();
  ASSERT_EQ(tempos.size(), 2u);
  EXPECT_EQ(tempos[1]->event, layout[4]);
  EXPECT_EQ(tempos[0]->tick, 0);  // a tempo of another track is not touched
}

TEST(RenderLayout, AHeadAtTickZeroPostponedBehindAnotherFollowsWithoutAGap) {
  TrackMaker maker = underOneTempo();
  maker.noteOn(0, 60).noteOn(0, 62).noteOff(240, 62).noteOff(480, 60);
  auto track = sliced(maker, withSplit(SplitMethod::Single));
  EXPECT_EQ(describe(buildRenderLayout(*track)),
            (Lines{"on 60 @0 +0", "off 60 @480 +480", "on 62 @480 +0", "off 62 @720 +240"}));
}

TEST(RenderLayout, ThreeSingleNotesOnOneTickBecomeThreeSoundsOneAfterAnother) {
  TrackMaker maker = underOneTempo();
  maker.noteOn(480, 60).noteOn(480, 62).noteOn(480, 64);
  maker.noteOff(960, 60).noteOff(960, 62).noteOff(960, 64);
  auto single = sliced(maker, withSplit(SplitMethod::Single));
  EXPECT_EQ(describe(buildRenderLayout(*single)),
            (Lines{"on 60 @960 +960", "off 60 @1440 +480", "on 62 @2400 +960", "off 62 @2880 +480",
                   "on 64 @3840 +960", "off 64 @4320 +480"}));

  TrackMaker again = underOneTempo();
  again.noteOn(480, 60).noteOn(480, 62).noteOn(480, 64);
  again.noteOff(960, 60).noteOff(960, 62).noteOff(960, 64);
  auto chord = sliced(again, withSplit(SplitMethod::Chord));
  EXPECT_EQ(describe(buildRenderLayout(*chord)),
            (Lines{"on 60 @960 +960", "on 62 @960 +0", "on 64 @960 +0", "off 60 @1440 +480",
                   "off 62 @1440 +0", "off 64 @1440 +0"}));
}

TEST(RenderLayout, ALegatoChainLastsUntilItsLastNoteOff) {
  TrackMaker maker = underOneTempo();
  maker.note(0, 600, 60).note(240, 120, 62).note(480, 480, 64).note(2000, 100, 65);
  auto track = sliced(maker, withSplit(SplitMethod::Legato));
  EXPECT_EQ(describe(buildRenderLayout(*track)),
            (Lines{"on 60 @0 +0", "on 62 @240 +240", "off 62 @360 +120", "on 64 @480 +120",
                   "off 60 @600 +120", "off 64 @960 +360", "on 65 @1920 +960", "off 65 @2020 +100"}));
}

TEST(RenderLayout, RepeatedOccurrencesAreLeftOut) {
  TrackMaker maker = underOneTempo();
  for (int i = 0; i < 50; ++i) maker.note(i * 200, 100, 60).controlChange(i * 200 + 150, 1, i);
  auto track = sliced(maker);
  const auto layout = buildRenderLayout(*track);
  int noteOns = 0;
  for (const auto& e : layout) noteOns += e->startsNote();
  EXPECT_EQ(noteOns, 1);
  EXPECT_EQ(describe(*layout[0]), "on 60 @0 +0");  // tick 0: no gap and no presets
  EXPECT_EQ(describe(*layout[1]), "off 60 @100 +100");
  // Controller changes between sounds keep their song distance from the previous emitted event.
  EXPECT_EQ(describe(*layout[2]), "cc 1=0 @150 +50");
  EXPECT_EQ(describe(*layout[3]), "cc 1=1 @350 +200");
  EXPECT_EQ(layout.size(), 52u);
}

TEST(RenderLayout, AnUnendedNoteIsRenderedUntilTheEndOfTheSong) {
  TrackMaker maker = underOneTempo();
  maker.note(0, 100, 60).noteOn(480, 62).endOfTrack(1920);
  auto track = sliced(maker);
  EXPECT_EQ(describe(buildRenderLayout(*track)),
            (Lines{"on 60 @0 +0", "off 60 @100 +100", "on 62 @1060 +960", "off 62 @2500 +1440",
                   "end @2500 +0"}));
}

}  // namespace
}  // namespace rendlow::test
