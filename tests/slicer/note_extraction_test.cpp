#include <gtest/gtest.h>

#include <sstream>

#include "slicer/note_extraction.h"
#include "slicing_helpers.h"

namespace rendlow::test {
namespace {

using Ints = std::vector<int32_t>;
using Bytes = std::vector<uint8_t>;

TEST(NotePairing, ZeroVelocityNoteOnEndsANoteButNeverStartsOne) {
  TrackMaker maker;
  maker.tempo(0, 120.0f).noteOn(0, 60, 100).noteOn(480, 60, 0).noteOn(600, 62, 0);
  auto track = sliced(maker);
  ASSERT_EQ(track->notes.size(), 1u);
  const Note& note = *track->notes[0];
  EXPECT_EQ(note.duration, 480);
  EXPECT_EQ(note.noteOff->tick, 480);
  EXPECT_EQ(note.noteOff->kind, EventKind::NoteOn);
  EXPECT_EQ(note.noteOff->note.lock().get(), &note);
  EXPECT_EQ(note.noteOn->note.lock().get(), &note);
}

TEST(NotePairing, NoteOffOnAnotherChannelEndsTheNote) {
  TrackMaker maker;
  maker.noteOn(0, 60, 90, 0).noteOff(120, 61, 0).noteOff(240, 60, 9);
  auto track = sliced(maker);
  ASSERT_EQ(track->notes.size(), 1u);
  EXPECT_EQ(track->notes[0]->duration, 240);
  EXPECT_EQ(track->notes[0]->velocity, 90);
  EXPECT_EQ(track->notes[0]->pitch, 60);
}

TEST(NotePairing, TwoNoteOnsOfOnePitchShareTheNoteOffThatFollowsThem) {
  TrackMaker maker;
  maker.noteOn(0, 60).noteOn(120, 60).noteOff(480, 60).noteOff(600, 60);
  auto track = sliced(maker, withSplit(SplitMethod::Single));
  ASSERT_EQ(track->notes.size(), 2u);
  EXPECT_EQ(track->notes[0]->noteOff, track->notes[1]->noteOff);
  EXPECT_EQ(field(*track, &Note::duration), (Ints{480, 360}));
  // The later note takes over the shared note-off's link.
  EXPECT_EQ(track->notes[0]->noteOff->note.lock(), track->notes[1]);
}

TEST(NotePairing, VoiceComesFromTheNoteOn) {
  TrackMaker maker;
  maker.noteOn(0, 60).noteOn(0, 64).noteOn(0, 67).noteOff(480, 60).noteOff(480, 64).noteOff(480, 67);
  auto track = sliced(maker);
  EXPECT_EQ(field(*track, &Note::voice), (Ints{0, 1, 2}));
}

TEST(Grouping, ChordJoinsNotesOfTheHeadsTickAcrossAControlChange) {
  TrackMaker maker;
  maker.noteOn(0, 60).controlChange(0, 7, 90).noteOn(0, 64).noteOn(0, 67);
  maker.noteOff(480, 60).noteOff(480, 64).noteOff(480, 67).note(1, 480, 72);
  auto track = sliced(maker, withSplit(SplitMethod::Chord));
  ASSERT_EQ(track->notes.size(), 4u);
  const auto& n = track->notes;
  EXPECT_TRUE(n[0]->isHead());
  EXPECT_EQ(n[0]->chainNext, n[1]);
  EXPECT_EQ(n[1]->chainNext, n[2]);
  EXPECT_EQ(n[2]->chainNext, nullptr);
  EXPECT_EQ(n[2]->chainHead(), n[0]);
  EXPECT_TRUE(n[3]->isHead());
  // The snapshot is taken at each note: the head saw the controller untouched.
  EXPECT_EQ(n[0]->controlState.at(7), 0);
  EXPECT_EQ(n[1]->controlState.at(7), 90);
}

TEST(Grouping, LegatoIntervalIsHalfOpen) {
  TrackMaker maker;
  maker.note(0, 480, 60).note(480, 480, 62);
  auto track = sliced(maker, withSplit(SplitMethod::Legato));
  ASSERT_EQ(track->notes.size(), 2u);
  EXPECT_TRUE(track->notes[1]->isHead());

  TrackMaker overlapping;
  overlapping.note(0, 480, 60).note(479, 480, 62);
  auto joined = sliced(overlapping, withSplit(SplitMethod::Legato));
  EXPECT_EQ(joined->notes[1]->chainHead(), joined->notes[0]);
}

TEST(Grouping, LegatoJoinsANoteThatOverlapsOnlyTheFirstMember) {
  TrackMaker maker;
  maker.note(0, 960, 48).note(100, 100, 60).note(300, 100, 62).note(500, 100, 64).note(960, 100, 65);
  auto track = sliced(maker, withSplit(SplitMethod::Legato));
  ASSERT_EQ(track->notes.size(), 5u);
  EXPECT_EQ(track->notes[0]->chainLength(), 4);
  EXPECT_EQ(track->notes[3]->chainHead(), track->notes[0]);
  EXPECT_TRUE(track->notes[4]->isHead());
}

TEST(Grouping, SingleAndUnknownMethodsMakeEveryNoteItsOwnChain) {
  for (int32_t method : {0, 3, -7}) {
    TrackMaker maker;
    maker.note(0, 480, 60).note(0, 480, 64).note(100, 480, 67);
    TrackSettings settings;
    settings.splitMethod = method;
    auto track = sliced(maker, settings);
    for (const auto& note : track->notes) {
      EXPECT_TRUE(note->isHead());
      EXPECT_FALSE(note->chainNext);
    }
  }
}

TEST(ControllerSnapshot, IsPerTrackAndHoldsEveryControllerOfTheTrack) {
  TrackMaker maker;
  maker.controlChange(0, 7, 100, 0).controlChange(10, 7, 50, 5).controlChange(20, 10, 64, 3);
  maker.note(30, 100, 60).controlChange(200, 11, 127).note(300, 100, 62);
  auto track = sliced(maker);
  using State = std::map<int32_t, int32_t>;
  EXPECT_EQ(track->notes[0]->controlState, (State{{7, 50}, {10, 64}, {11, 0}}));
  EXPECT_EQ(track->notes[1]->controlState, (State{{7, 50}, {10, 64}, {11, 127}}));

  TrackMaker plain;
  plain.note(0, 100, 60);
  EXPECT_TRUE(sliced(plain)->notes[0]->controlState.empty());
}

TEST(NoteOffOrder, RisingPitchesInAChainEndInChainOrder) {
  // B's note-off comes first in the file; A (lower, earlier in the chain) is moved before it.
  TrackMaker rising;
  rising.noteOn(0, 60).noteOn(0, 64).noteOff(960, 64).noteOff(960, 60).endOfTrack(960);
  auto track = sliced(rising);
  EXPECT_EQ(pitchesOf(track->events, EventKind::NoteOff), (Ints{60, 64}));
  for (std::size_t i = 0; i < track->events.size(); ++i) EXPECT_EQ(track->events[i]->index, int32_t(i));

  TrackMaker falling;
  falling.noteOn(0, 64).noteOn(0, 60).noteOff(960, 60).noteOff(960, 64);
  EXPECT_EQ(pitchesOf(sliced(falling)->events, EventKind::NoteOff), (Ints{60, 64}));

  TrackMaker three;
  three.noteOn(0, 60).noteOn(0, 64).noteOn(0, 67).noteOff(960, 67).noteOff(960, 64).noteOff(960, 60);
  EXPECT_EQ(pitchesOf(sliced(three)->events, EventKind::NoteOff), (Ints{60, 64, 67}));

  // Different ticks, or notes of different chains, keep the file order.
  TrackMaker apart;
  apart.noteOn(0, 60).noteOn(0, 64).noteOff(900, 64).noteOff(960, 60);
  apart.noteOn(1000, 60).noteOn(1001, 64).noteOff(1500, 64).noteOff(1500, 60);
  EXPECT_EQ(pitchesOf(sliced(apart)->events, EventKind::NoteOff), (Ints{64, 60, 64, 60}));
}

TEST(Diagnostics, PrintsOneNoteOnLinePerNote) {
  TrackMaker maker;
  maker.note(0, 480, 60).note(480, 240, 62).noteOn(960, 64, 0);
  auto track = maker.build();
  std::ostringstream out;
  Diagnostics diagnostics(&out);
  extractNotes(*track, diagnostics);
  EXPECT_EQ(out.str(), "NoteOn: 0 480 60\nNoteOn: 480 240 62\n");
}

TEST(UnendedNotes, TheLastNoteIsEndedBeforeTheEndOfTrack) {
  TrackMaker maker;
  maker.tempo(0, 120.0f).note(0, 960, 60).noteOn(480, 62, 100, 3).endOfTrack(1920);
  auto track = sliced(maker);
  ASSERT_EQ(track->events.size(), 6u);
  const auto& added = track->events[4];
  EXPECT_EQ(added->status, 0x83);
  EXPECT_EQ(added->kind, EventKind::NoteOff);
  EXPECT_EQ(added->data, (Bytes{62, 0}));
  EXPECT_EQ(added->tick, 1920);
  EXPECT_EQ(added->delta, 1920 - 960);
  EXPECT_EQ(added->index, 4);
  EXPECT_TRUE(added->tempo.expired());
  EXPECT_TRUE(added->beat.expired());
  EXPECT_EQ(added->prev, track->events[3].get());
  EXPECT_EQ(added->next, track->events[5].get());
  EXPECT_EQ(track->events[3]->next, added.get());
  EXPECT_TRUE(track->events[5]->isMeta(kMetaEndOfTrack));
  EXPECT_EQ(track->events[5]->index, 5);
  EXPECT_EQ(track->events[5]->prev, added.get());
  EXPECT_EQ(track->events[5]->delta, 0);
  ASSERT_EQ(track->notes.size(), 2u);
  EXPECT_EQ(track->notes[1]->noteOff, added);
  EXPECT_EQ(track->notes[1]->duration, 1440);
  EXPECT_EQ(added->note.lock(), track->notes[1]);
  EXPECT_EQ(track->notes[1]->sound, 1);
}

TEST(UnendedNotes, ANoteInTheMiddleIsEndedAfterTheLastEventWhenThereIsNoEndOfTrack) {
  TrackMaker maker;
  maker.noteOn(0, 60).noteOn(100, 64).noteOff(480, 60).note(960, 480, 60);
  auto track = sliced(maker, withSplit(SplitMethod::Single));
  ASSERT_EQ(track->events.size(), 6u);
  const auto& added = track->events.back();
  EXPECT_EQ(added->kind, EventKind::NoteOff);
  EXPECT_EQ(added->tick, 1440);
  EXPECT_EQ(added->delta, 0);
  EXPECT_EQ(added->index, 5);
  EXPECT_EQ(added->prev, track->events[4].get());
  EXPECT_EQ(added->next, nullptr);
  EXPECT_EQ(field(*track, &Note::duration), (Ints{480, 1340, 480}));
}

TEST(UnendedNotes, OneAddedNoteOffEndsTwoUnendedNoteOnsOfOnePitch) {
  TrackMaker maker;
  maker.noteOn(0, 60).noteOn(240, 60).noteOn(300, 61).endOfTrack(960);
  auto track = sliced(maker, withSplit(SplitMethod::Single));
  ASSERT_EQ(track->events.size(), 6u);
  EXPECT_EQ(pitchesOf(track->events, EventKind::NoteOff), (Ints{60, 61}));
  ASSERT_EQ(track->notes.size(), 3u);
  EXPECT_EQ(track->notes[0]->noteOff, track->notes[1]->noteOff);
  EXPECT_EQ(field(*track, &Note::duration), (Ints{960, 720, 660}));
}

TEST(SortEventsByIndex, FollowsTheIndexesAndStopsAtTheFirstMissingOne) {
  TrackMaker maker;
  maker.note(0, 10, 60).note(20, 10, 61).controlChange(40, 7, 1);
  auto track = maker.build();
  const EventList before = track->events;
  before[0]->index = 2;
  before[2]->index = 0;
  sortEventsByIndex(*track);
  ASSERT_EQ(track->events.size(), 5u);
  EXPECT_EQ(track->events[0], before[2]);
  EXPECT_EQ(track->events[2], before[0]);
  EXPECT_EQ(track->events[0]->next, before[3].get());  // links stay as they were

  before[3]->index = 7;
  sortEventsByIndex(*track);
  EXPECT_EQ(track->events.size(), 3u);
}

}  // namespace
}  // namespace rendlow::test
