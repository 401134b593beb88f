// The song model's own rules and the reader's building blocks: status classification, the
// controller list, the read-order scan, its quick index, and variable-length numbers.

#include "midi/song.h"

#include <gtest/gtest.h>

#include <random>

#include "midi/byte_reader.h"
#include "midi/in_effect_index.h"

namespace rendlow {
namespace {

TEST(ClassifyStatus, EveryRangeOfTheTable) {
  const std::pair<int, EventKind> cases[] = {
      {0x00, EventKind::None},          {0x7F, EventKind::None},          {0x80, EventKind::NoteOff},
      {0x8F, EventKind::NoteOff},       {0x9A, EventKind::NoteOn},        {0xA3, EventKind::PolyPressure},
      {0xBF, EventKind::ControlChange}, {0xC0, EventKind::ProgramChange}, {0xD5, EventKind::ChannelPressure},
      {0xEF, EventKind::PitchBend},     {0xF0, EventKind::SysEx},         {0xF7, EventKind::SysExEscape},
      {0xF1, EventKind::Meta},          {0xF8, EventKind::Meta},          {0xFF, EventKind::Meta}};
  for (const auto& [status, kind] : cases) EXPECT_EQ(classifyStatus(static_cast<uint8_t>(status)), kind) << status;
}

TEST(MidiTrack, NumbersEventsRaisesTheSongEndAndKeepsControllersSorted) {
  MidiTrack track;
  int32_t songEnd = 500;
  for (const int32_t tick : {0, 960, 100}) track.addEvent(MidiEvent{.tick = tick, .index = 9}, songEnd);
  EXPECT_EQ(songEnd, 960);
  EXPECT_EQ(track.events[2].index, 2);
  for (const int32_t number : {10, 7, 10, -3, 64}) track.useController(number);
  EXPECT_EQ(track.controllers, (std::vector<int32_t>{-3, 7, 10, 64}));
}

std::vector<Beat> beatsAt(std::initializer_list<int32_t> ticks) {
  std::vector<Beat> beats;
  for (const int32_t tick : ticks) beats.push_back({static_cast<int32_t>(beats.size()), 4, tick});
  return beats;
}

// The lists are in reading order, not sorted: the scan stops at the first later entry even when
// an entry behind it lies earlier; before the first entry, the first entry.
TEST(BeatAt, ScansInReadingOrder) {
  EXPECT_EQ(beatAt({}, 100), kNone);
  const std::vector<Beat> beats = beatsAt({480, 960, 700});
  const std::pair<int32_t, int32_t> cases[] = {{0, 0}, {479, 0}, {480, 0}, {959, 0}, {960, 2}, {1 << 30, 2}};
  for (const auto& [tick, found] : cases) EXPECT_EQ(beatAt(beats, tick), found) << tick;
}

TEST(InEffectIndex, AgreesWithTheScanOnEveryPrefixOfUnsortedLists) {
  EXPECT_FALSE(InEffectIndex().find(0));
  std::mt19937 random(20261206);
  for (int round = 0; round < 200; ++round) {
    std::uniform_int_distribution<int32_t> tickOf(0, round % 2 ? 50 : 100000);
    std::vector<Beat> list;
    InEffectIndex index;
    for (int entries = 0; entries < 30; ++entries) {
      list.push_back({0, 0, tickOf(random)});
      index.append(list.back().tick);
      for (int ask = 0; ask < 20; ++ask) {
        const int32_t tick = tickOf(random);
        ASSERT_EQ(static_cast<int32_t>(index.find(tick).value()), beatAt(list, tick)) << "tick " << tick;
      }
    }
  }
}

struct VarLenCase {
  std::vector<uint8_t> bytes;
  int32_t value;
  bool tooLong;
  std::size_t left;
};

TEST(ReadVarLen, OneToFourBytesAndWhatADamagedFileGives) {
  const VarLenCase cases[] = {
      {{0x00}, 0, false, 0},
      {{0x7F, 0x90}, 127, false, 1},
      {{0x81, 0x00}, 128, false, 0},
      {{0x87, 0x40}, 960, false, 0},
      {{0x81, 0x80, 0x00}, 16384, false, 0},
      {{0xFF, 0xFF, 0xFF, 0x7F, 0x00}, 0x0FFFFFFF, false, 1},
      {{0x81, 0x80, 0x80, 0x80, 0x00}, 0x00200000, true, 1},  // a fourth byte with bit 7: nothing more read
      {{0x81, 0x82}, (1 << 7) | 2, false, 0},                 // cut short: what was read
      {{}, -1, false, 0},
  };
  for (const VarLenCase& c : cases) {
    ByteReader reader(c.bytes);
    const VarLen number = reader.readVarLen();
    EXPECT_EQ(number.value, c.value) << c.bytes.size();
    EXPECT_EQ(number.tooLong, c.tooLong) << c.value;
    EXPECT_EQ(reader.remaining(), c.left) << c.value;
  }
}

}  // namespace
}  // namespace rendlow
