// The song model's own rules: status classification, appending events, and which tempo change
// or time signature is in effect at a tick.

#include "midi/song.h"

#include <gtest/gtest.h>

#include "app/project.h"

namespace rendlow {
namespace {

TEST(ClassifyStatus, EveryRangeOfTheTable) {
  EXPECT_EQ(classifyStatus(0x00), EventKind::None);
  EXPECT_EQ(classifyStatus(0x7F), EventKind::None);
  EXPECT_EQ(classifyStatus(0x80), EventKind::NoteOff);
  EXPECT_EQ(classifyStatus(0x8F), EventKind::NoteOff);
  EXPECT_EQ(classifyStatus(0x9A), EventKind::NoteOn);
  EXPECT_EQ(classifyStatus(0xA3), EventKind::PolyPressure);
  EXPECT_EQ(classifyStatus(0xBF), EventKind::ControlChange);
  EXPECT_EQ(classifyStatus(0xC0), EventKind::ProgramChange);
  EXPECT_EQ(classifyStatus(0xD5), EventKind::ChannelPressure);
  EXPECT_EQ(classifyStatus(0xEF), EventKind::PitchBend);
  EXPECT_EQ(classifyStatus(0xF0), EventKind::SysEx);
  EXPECT_EQ(classifyStatus(0xF7), EventKind::SysExEscape);
  // Every other byte from F1 to FF is read as a meta event.
  for (int status : {0xF1, 0xF2, 0xF6, 0xF8, 0xFE, 0xFF}) {
    EXPECT_EQ(classifyStatus(static_cast<uint8_t>(status)), EventKind::Meta) << status;
  }
}

std::shared_ptr<MidiEvent> eventAt(int32_t tick) {
  auto event = std::make_shared<MidiEvent>();
  event->tick = tick;
  return event;
}

TEST(AddEvent, NumbersLinksAndRaisesTheSongEnd) {
  MidiTrack track;
  int32_t songEnd = 500;
  const auto a = eventAt(0);
  const auto b = eventAt(960);
  const auto c = eventAt(100);
  track.addEvent(a, songEnd);
  EXPECT_EQ(songEnd, 500);
  track.addEvent(b, songEnd);
  track.addEvent(c, songEnd);

  EXPECT_EQ(songEnd, 960);
  EXPECT_EQ(c->index, 2);
  EXPECT_EQ(a->prev, nullptr);
  EXPECT_EQ(a->next, b.get());
  EXPECT_EQ(b->prev, a.get());
  EXPECT_EQ(b->next, c.get());
  EXPECT_EQ(c->prev, b.get());
  EXPECT_EQ(c->next, nullptr);
}

TempoList temposAt(std::initializer_list<int32_t> ticks) {
  TempoList tempos;
  for (int32_t tick : ticks) {
    auto tempo = std::make_shared<Tempo>();
    tempo->tick = tick;
    tempo->shiftedTick = tick;
    tempo->index = static_cast<int32_t>(tempos.size());
    tempos.push_back(tempo);
  }
  return tempos;
}

TEST(TempoAt, EmptyListGivesNothingAndEarlyTicksTheFirstEntry) {
  EXPECT_EQ(tempoAt({}, 0), nullptr);
  EXPECT_EQ(beatAt({}, 100), nullptr);
  const TempoList tempos = temposAt({480, 960});
  EXPECT_EQ(tempoAt(tempos, 0)->index, 0);
  EXPECT_EQ(tempoAt(tempos, 479)->index, 0);
  EXPECT_EQ(tempoAt(tempos, 480)->index, 0);
  EXPECT_EQ(tempoAt(tempos, 959)->index, 0);
  EXPECT_EQ(tempoAt(tempos, 960)->index, 1);
  EXPECT_EQ(tempoAt(tempos, 1 << 30)->index, 1);
}

// The lists are in reading order, not sorted: the scan stops at the first later entry even when
// an entry behind it lies earlier.
TEST(TempoAt, ScansInReadingOrder) {
  const TempoList tempos = temposAt({0, 960, 480});
  EXPECT_EQ(tempoAt(tempos, 700)->index, 0);
  EXPECT_EQ(tempoAt(tempos, 960)->index, 2);
}

TEST(TempoAt, ComparesShiftedTicksWhileBeatAtComparesTicks) {
  TempoList tempos = temposAt({0, 960});
  tempos[1]->shiftedTick = 1500;
  EXPECT_EQ(tempoAt(tempos, 1000)->index, 0);
  EXPECT_EQ(tempoAt(tempos, 1500)->index, 1);

  BeatList beats;
  for (int32_t tick : {0, 960}) {
    auto beat = std::make_shared<Beat>();
    beat->tick = tick;
    beat->shiftedTick = tick + 1000;
    beat->numerator = tick;
    beats.push_back(beat);
  }
  EXPECT_EQ(beatAt(beats, 960)->numerator, 960);
  Project project;
  project.beats = beats;
  EXPECT_EQ(project.beatAt(959)->numerator, 0);
}

TEST(MidiEventCopy, KeepsTimesDataAndLinksButNotPlaceVoiceOrBeat) {
  MidiTrack track;
  auto tempo = std::make_shared<Tempo>();
  auto beat = std::make_shared<Beat>();
  MidiEvent neighbour;
  MidiEvent event;
  event.track = &track;
  event.tick = 960;
  event.delta = 480;
  event.status = 0xFF;
  event.kind = EventKind::None;
  event.length = 2;
  event.metaType = -1;
  event.data = {0x3C, 0x64};
  event.index = 7;
  event.voice = 2;
  event.next = &neighbour;
  event.prev = &neighbour;
  event.tempo = tempo;
  event.beat = beat;

  const auto copy = event.copy();
  EXPECT_EQ(copy->track, &track);
  EXPECT_EQ(copy->tick, 960);
  EXPECT_EQ(copy->delta, 480);
  EXPECT_EQ(copy->status, 0xFF);
  EXPECT_EQ(copy->kind, EventKind::None);  // never reclassified from the status byte
  EXPECT_EQ(copy->length, 2);
  EXPECT_EQ(copy->metaType, -1);
  EXPECT_EQ(copy->data, event.data);
  EXPECT_NE(copy->data.data(), event.data.data());
  EXPECT_EQ(copy->index, 0);
  EXPECT_EQ(copy->voice, 0);
  EXPECT_EQ(copy->next, &neighbour);
  EXPECT_EQ(copy->prev, &neighbour);
  EXPECT_EQ(copy->tempo.lock(), tempo);
  EXPECT_TRUE(copy->beat.expired());
}

}  // namespace
}  // namespace rendlow
