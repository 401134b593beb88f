#include "slicer/render_layout.h"

#include <gtest/gtest.h>

#include "reference_slicer.h"
#include "slicing_helpers.h"

namespace rendlow::test {
namespace {

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
  const EventList layout = buildRenderLayout(*track).value();
  EXPECT_EQ(describe(layout),
            (Lines{"on 60 @0 +0", "off 60 @480 +480", "on 62 @1440 +960", "off 62 @1920 +480",
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
  const EventList layout = buildRenderLayout(*track).value();
  EXPECT_EQ(describe(layout), (Lines{"cc 7=100 @0 +0", "cc 10=64 @0 +0", "cc 7=100 @960 +960",
                                     "cc 10=64 @960 +0", "on 60 @960 +0", "off 60 @1440 +480"}));
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
  EXPECT_EQ(describe(buildRenderLayout(*track).value()),
            (Lines{"meta 81 @960 +960", "cc 7=100 @960 +0", "on 60 @960 +0", "off 60 @1440 +480",
                   "cc 7=100 @2400 +960", "on 62 @2400 +0", "off 62 @2880 +480"}));
}

TEST(RenderLayout, APostponedStretchIsWalkedTwice) {
  TrackMaker maker = underOneTempo();
  maker.noteOn(0, 60).noteOn(240, 62).controlChange(360, 1, 5).noteOff(480, 62).noteOff(960, 60);
  auto track = sliced(maker, withSplit(SplitMethod::Single));
  EXPECT_EQ(describe(buildRenderLayout(*track).value()),
            (Lines{"on 60 @0 +0", "cc 1=5 @360 +360", "off 60 @960 +600", "cc 1=0 @1920 +960",
                   "on 62 @1920 +0", "cc 1=5 @2040 +120", "off 62 @2160 +120"}));
}

TEST(RenderLayout, ATempoChangeFollowsItsLatestCopy) {
  TrackMaker maker = underOneTempo();
  maker.noteOn(0, 60).noteOn(240, 62).tempo(300, 90.0f).noteOff(480, 62).noteOff(960, 60);
  auto track = sliced(maker, withSplit(SplitMethod::Single));
  const auto layout = buildRenderLayout(*track).value();
  EXPECT_EQ(describe(layout), (Lines{"on 60 @0 +0", "meta 81 @300 +300", "off 60 @960 +660",
                                     "on 62 @1920 +960", "meta 81 @1980 +60", "off 62 @2160 +180"}));
  const auto& tempos = maker.tempos();
  ASSERT_EQ(tempos.size(), 2u);
  EXPECT_EQ(tempos[1]->event, layout[4]);
  EXPECT_EQ(tempos[0]->tick, 0);  // a tempo of another track is not touched
}

TEST(RenderLayout, AHeadAtTickZeroPostponedBehindAnotherFollowsWithoutAGap) {
  TrackMaker maker = underOneTempo();
  maker.noteOn(0, 60).noteOn(0, 62).noteOff(240, 62).noteOff(480, 60);
  auto track = sliced(maker, withSplit(SplitMethod::Single));
  EXPECT_EQ(describe(buildRenderLayout(*track).value()),
            (Lines{"on 60 @0 +0", "off 60 @480 +480", "on 62 @480 +0", "off 62 @720 +240"}));
}

TEST(RenderLayout, ThreeSingleNotesOnOneTickBecomeThreeSoundsOneAfterAnother) {
  TrackMaker maker = underOneTempo();
  maker.noteOn(480, 60).noteOn(480, 62).noteOn(480, 64);
  maker.noteOff(960, 60).noteOff(960, 62).noteOff(960, 64);
  auto single = sliced(maker, withSplit(SplitMethod::Single));
  EXPECT_EQ(describe(buildRenderLayout(*single).value()),
            (Lines{"on 60 @960 +960", "off 60 @1440 +480", "on 62 @2400 +960", "off 62 @2880 +480",
                   "on 64 @3840 +960", "off 64 @4320 +480"}));

  TrackMaker again = underOneTempo();
  again.noteOn(480, 60).noteOn(480, 62).noteOn(480, 64);
  again.noteOff(960, 60).noteOff(960, 62).noteOff(960, 64);
  auto chord = sliced(again, withSplit(SplitMethod::Chord));
  EXPECT_EQ(describe(buildRenderLayout(*chord).value()),
            (Lines{"on 60 @960 +960", "on 62 @960 +0", "on 64 @960 +0", "off 60 @1440 +480",
                   "off 62 @1440 +0", "off 64 @1440 +0"}));
}

TEST(RenderLayout, ALegatoChainLastsUntilItsLastNoteOff) {
  TrackMaker maker = underOneTempo();
  maker.note(0, 600, 60).note(240, 120, 62).note(480, 480, 64).note(2000, 100, 65);
  auto track = sliced(maker, withSplit(SplitMethod::Legato));
  EXPECT_EQ(describe(buildRenderLayout(*track).value()),
            (Lines{"on 60 @0 +0", "on 62 @240 +240", "off 62 @360 +120", "on 64 @480 +120",
                   "off 60 @600 +120", "off 64 @960 +360", "on 65 @1920 +960", "off 65 @2020 +100"}));
}

TEST(RenderLayout, RepeatedOccurrencesAreLeftOut) {
  TrackMaker maker = underOneTempo();
  for (int i = 0; i < 50; ++i) maker.note(i * 200, 100, 60).controlChange(i * 200 + 150, 1, i);
  auto track = sliced(maker);
  const auto layout = buildRenderLayout(*track).value();
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
  EXPECT_EQ(
      describe(buildRenderLayout(*track).value()),
      (Lines{"on 60 @0 +0", "off 60 @100 +100", "on 62 @1060 +960", "off 62 @2500 +1440", "end @2500 +0"}));
}

// Every note lasts until the song ends, so each sound postpones all later ones and the walk goes
// back over the rest of the track once per sound, meeting every later control change again.
TrackMaker everyNoteHeldToTheEnd(int notes, const TempoList& tempos) {
  TrackMaker maker;
  maker.useTempos(tempos);
  for (int i = 0; i < notes; ++i) maker.noteOn(i * 10, i % 128).controlChange(i * 10 + 5, 1, i % 128);
  maker.endOfTrack(notes * 10 + 10);
  return maker;
}

TEST(RenderLayout, PostponedStretchesRepeatTheirControllersInFullWithinTheBound) {
  TrackMaker conductor = underOneTempo();
  constexpr int kNotes = 40;  // about 1,700 steps and 1,700 events laid out: within the margin
  TrackMaker maker = everyNoteHeldToTheEnd(kNotes, conductor.tempos());
  TrackMaker same = everyNoteHeldToTheEnd(kNotes, conductor.tempos());
  auto track = sliced(maker, withSplit(SplitMethod::Single));
  auto plain = sliced(same, withSplit(SplitMethod::Single));
  const auto layout = buildRenderLayout(*track);
  ASSERT_TRUE(layout);
  EXPECT_EQ(describe(*layout), describe(reference::buildRenderLayout(*plain)));
  int controllers = 0;
  for (const auto& e : *layout) controllers += e->kind == EventKind::ControlChange;
  // Sound k meets the control changes after its note-on again: 40 + 39 + ... + 1; and every
  // sound but the first starts with a preset of the controller's value.
  EXPECT_EQ(controllers, kNotes * (kNotes + 1) / 2 + kNotes - 1);
}

TEST(RenderLayout, ATrackPastTheBoundIsRefusedAndLeftAsItWas) {
  // 1,500 sounds each walking the rest of the track: over a million steps for 3,001 events.
  TrackMaker conductor;
  conductor.tempo(0, 120.0f);
  auto conductorTrack = conductor.build();
  TrackMaker maker = everyNoteHeldToTheEnd(1500, conductor.tempos());
  maker.tempo(7, 140.0f);  // a tempo change of this track, laid out more than once
  auto track = sliced(maker, withSplit(SplitMethod::Single));
  const EventList asRead = track->events;
  std::vector<std::shared_ptr<MidiEvent>> tempoEvents;
  for (const auto& tempo : maker.tempos()) tempoEvents.push_back(tempo->event);

  EXPECT_EQ(buildRenderLayout(*track), std::nullopt);
  EXPECT_EQ(track->events, asRead);
  EXPECT_TRUE(track->originalEvents.empty());
  for (std::size_t i = 0; i < tempoEvents.size(); ++i) EXPECT_EQ(maker.tempos()[i]->event, tempoEvents[i]);
}

TEST(RenderLayout, TheBoundsGrowWithTheTrack) {
  EXPECT_EQ(layoutLimits(0).steps, kLayoutStepsMargin);
  EXPECT_EQ(layoutLimits(0).events, kLayoutEventsMargin);
  EXPECT_EQ(layoutLimits(1000).steps, 1000 * kLayoutStepsPerEvent + kLayoutStepsMargin);
  EXPECT_EQ(layoutLimits(1000).events, 1000 * kLayoutEventsPerEvent + kLayoutEventsMargin);
}

}  // namespace
}  // namespace rendlow::test
