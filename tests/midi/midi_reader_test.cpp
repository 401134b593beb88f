// Reading Standard MIDI Files: status classification, variable-length numbers, the read-order
// scan and its quick index, progress lines, running status, per-track bookkeeping, names, tempo
// links, and files that cannot be read at all.

#include "midi/midi_reader.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "midi/byte_reader.h"
#include "midi/in_effect_index.h"
#include "support/midi_builder.h"
#include "support/song_text.h"
#include "support/temp_dir.h"

namespace rendlow::test {
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
      {{}, -1, false, 0}};
  for (const VarLenCase& c : cases) {
    ByteReader reader(c.bytes);
    const VarLen number = reader.readVarLen();
    EXPECT_EQ(number.value, c.value) << c.bytes.size();
    EXPECT_EQ(number.tooLong, c.tooLong) << c.value;
    EXPECT_EQ(reader.remaining(), c.left) << c.value;
  }
}

struct Read {
  Song song;
  std::string lines;
};

Read read(const Bytes& bytes, RunningStatus& running) {
  std::ostringstream lines;
  Diagnostics diagnostics(&lines);
  Result<Song> song = readMidiBytes(bytes, running, diagnostics);
  EXPECT_TRUE(song);
  return {song ? std::move(song).value() : Song{}, lines.str()};
}

Read read(const MidiBuilder& builder) {
  RunningStatus fresh;
  return read(builder.bytes(), fresh);
}

std::string eventsOf(const Read& r, std::size_t track) {
  std::string text;
  for (const MidiEvent& e : r.song.tracks.at(track).events) text += describeEvent(r.song, e) + "\n";
  return text;
}

// Every progress line, record and link of a small song, kept in tests/golden/midi. 600000
// microseconds give 99.999992 BPM in single precision; a name ends at its NUL and the last wins.
TEST(ReadMidi, ProgressLinesRecordsAndLinks) {
  MidiBuilder builder;
  builder.track().name("Conductor").tempo(0, 500000).timeSignature(0, 6, 3).tempo(1920, 600000).endOfTrack(1920);
  builder.track().name("Piano").meta(0, 0x03, {'P', 'i', 'a', 0x00, 'n', 'o'}).noteOn(0, 0, 60, 100)
      .noteOff(480, 0, 60).controlChange(2000, 1, 7, 90).endOfTrack(2000);
  const Read r = read(builder);
  EXPECT_EQ("== diagnostics\n" + r.lines + "== song\n" + describeSong(r.song),
            readText(std::string(RENDLOW_TEST_DATA_DIR) + "/golden/midi/conductor_and_piano.txt"));
}

// After a meta or system-exclusive event a data byte finds no running status: an event of kind
// None holding that status byte, and the data byte is read again as the next delta time.
TEST(RunningStatus, RepeatsChannelStatusesAndIsCancelledByMetaAndSysEx) {
  MidiBuilder builder;
  builder.track().useRunningStatus().noteOn(0, 2, 60, 100).noteOn(0, 2, 60, 0).controlChange(240, 2, 7, 90)
      .meta(240, 0x01, {'x'}).raw({0x10, 0x40, 0x00, 0x90, 0x40, 0x00}).sysEx(240, {0x7E, 0xF7})
      .raw({0x00, 0x05, 0xFF, 0x2F, 0x00});
  builder.track().raw({0x00, 0x3C, 0x90, 0x3C, 0x64, 0x00, 0xFF, 0x2F, 0x00});
  const Read r = read(builder);
  EXPECT_EQ(eventsOf(r, 0),
            "0 NoteOn 92 [2] 3C 64 voice=0\n0 NoteOn 92 [2] 3C 00\n240 ControlChange B2 [2] 07 5A\n"
            "240 Meta FF/01 [1] 78\n256 None FF [0]\n320 None FF [0]\n320 NoteOn 90 [2] 40 00\n"
            "320 SysEx F0 [2] 7E F7\n320 None F0 [0]\n325 Meta FF/2F [0]\n");
  // A track starting with a data byte finds the status the last track cancelled.
  EXPECT_EQ(eventsOf(r, 1), "0 None FF [0]\n60 NoteOn 90 [2] 3C 64 voice=0\n60 Meta FF/2F [0]\n");
}

// Running status belongs to whoever reads: a file cut off after a channel event leaves its status
// for the next file read with the same running status.
TEST(RunningStatus, OutlivesTheFileItCameFrom) {
  MidiBuilder cut;
  cut.track().noteOn(0, 3, 60, 100);
  MidiBuilder next;
  next.track().raw({0x00, 0x40, 0x64, 0x00, 0xFF, 0x2F, 0x00});
  RunningStatus running;
  read(cut.bytes(), running);
  EXPECT_EQ(eventsOf(read(next.bytes(), running), 0), "0 NoteOn 93 [2] 40 64 voice=0\n0 Meta FF/2F [0]\n");
  EXPECT_EQ(eventsOf(read(next), 0), "0 None 00 [0]\n64 None 00 [0]\n164 None 00 [0]\n164 Meta FF/2F [0]\n");
}

TEST(TrackBookkeeping, VoicesPolyphonyAndControllers) {
  MidiBuilder builder;
  builder.track().noteOn(0, 0, 60, 100).noteOn(0, 1, 64, 100).noteOn(10, 2, 67, 100).noteOn(20, 0, 60, 0)
      .noteOff(30, 1, 64).noteOff(40, 2, 67).noteOff(50, 0, 72).noteOn(60, 0, 72, 100)
      .raw({0x00, 0x90, 0x3C, 0x80})  // velocity byte 0x80 is -128: neither starts nor ends a note
      .controlChange(60, 0, 10, 1).raw({0x00, 0xB0, 0x85, 0x01})  // controller numbers are signed bytes too
      .controlChange(60, 0, 7, 1).controlChange(60, 0, 10, 2).noteOff(70, 0, 72).noteOff(70, 0, 72).endOfTrack(70);
  const Read r = read(builder);
  const MidiTrack& track = r.song.tracks[0];
  std::vector<int32_t> voices;
  for (const MidiEvent& e : track.events) voices.push_back(e.voice);
  EXPECT_EQ(voices, (std::vector<int32_t>{0, 1, 2, 0, 0, 0, 0, -1, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(std::tuple(track.maxPolyphony, track.activeNotes), std::tuple(3, -2));
  EXPECT_EQ(track.controllers, (std::vector<int32_t>{-123, 7, 10}));
}

// Only what lies after tick 0 (or sets a tempo or time signature) makes a track worth converting.
TEST(TrackBookkeeping, WhatGivesATrackContent) {
  MidiBuilder builder;
  builder.track().name("Only at zero").noteOn(0, 0, 60, 100).controlChange(0, 0, 7, 1).sysEx(0, {1}).endOfTrack(0);
  builder.track().name("Tempo").tempo(0, 500000).endOfTrack(0);
  builder.track().name("Time signature").timeSignature(0, 3, 2).endOfTrack(0);
  builder.track().name("Text later").meta(480, 0x01, {'a'}).endOfTrack(960);
  builder.track().name("SysEx later").sysEx(1, {0x01}).endOfTrack(1);
  builder.track().name("Note later").noteOn(1, 0, 60, 100).endOfTrack(1);
  builder.track().name("None later").raw({0x05, 0x40, 0x00, 0xFF, 0x2F, 0x00});
  std::vector<bool> content;
  for (const MidiTrack& track : read(builder).song.tracks) content.push_back(track.hasContent);
  EXPECT_EQ(content, (std::vector<bool>{false, true, true, false, true, true, true}));
}

// Each event links to the tempo change in effect at its tick among those read before it; a Set
// Tempo event to its own record, even where a record read earlier lies later.
TEST(TempoLinks, SeeWhatWasReadBeforeAndSetTempoSeesItsOwn) {
  MidiBuilder format1;
  format1.track().tempo(0, 500000).tempo(960, 1000000).endOfTrack(1920);
  format1.track()
      .noteOn(0, 0, 60, 100)
      .tempo(480, 600000)
      .noteOn(500, 0, 62, 100)
      .noteOn(960, 0, 64, 100)
      .endOfTrack(1000);
  // A single track (format 2: a format 0 file would be split by channel) links to its own tempos.
  MidiBuilder format0(480, 2);
  format0.track().noteOn(0, 0, 60, 100).tempo(0, 500000).noteOff(240, 0, 60).tempo(480, 400000).noteOn(480, 0, 62, 100);
  struct Case {
    MidiBuilder builder;
    std::vector<int32_t> links;
    std::pair<int32_t, int32_t> lastTempoAt;  // track, event
  };
  for (const Case& c : {Case{format1, {0, 2, 0, 2, 2}, {1, 1}}, Case{format0, {kNone, 0, 0, 1, 1}, {0, 3}}}) {
    const Read r = read(c.builder);
    std::vector<int32_t> links;
    for (const MidiEvent& e : r.song.tracks.back().events) links.push_back(e.tempo);
    EXPECT_EQ(links, c.links);
    EXPECT_EQ(std::pair(r.song.tempos.back().track, r.song.tempos.back().event), c.lastTempoAt);
  }
}

TEST(ReadMidiFile, AFileThatCannotBeReadIsToldWhy) {
  TempDir dir;
  RunningStatus running;
  std::ostringstream lines;
  Diagnostics diagnostics(&lines);
  const auto reason = [&](const std::string& path) {
    const Result<Song> song = readMidiFile(path, running, diagnostics);
    return song ? "read" : song.problem().message.in(Audience::EnglishConsole);
  };
  EXPECT_EQ(reason(dir.file("missing.mid")).rfind("No such file or folder. Check that the file exists", 0), 0u);
  EXPECT_EQ(reason(dir.path()), "It is a folder. Choose a file.");
  EXPECT_EQ(lines.str(), "Failed to open file\nFailed to open file\n");
}

}  // namespace
}  // namespace rendlow::test
