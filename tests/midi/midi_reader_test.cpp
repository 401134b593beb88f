// Reading Standard MIDI Files: progress lines, running status, per-track bookkeeping, names,
// tempo links, and files that cannot be read at all.

#include "midi/midi_reader.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/midi_builder.h"
#include "support/song_text.h"
#include "support/temp_dir.h"

namespace rendlow::test {
namespace {

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

TEST(ReadMidi, ProgressLinesRecordsAndLinks) {
  MidiBuilder builder;
  builder.track().name("Conductor").tempo(0, 500000).timeSignature(0, 6, 3).tempo(1920, 600000).endOfTrack(1920);
  builder.track().name("Piano").noteOn(0, 0, 60, 100).noteOff(480, 0, 60).controlChange(2000, 1, 7, 90).endOfTrack(2000);
  const Read r = read(builder);
  // 600000 microseconds give 99.999992 in single precision.
  EXPECT_EQ(r.lines, "Read Track 1...\nName: Conductor\nSet BPM: 120.000000\nSet Mesauge: 6/8\n"
                     "Set BPM: 99.999992\nRead Track 2...\nName: Piano\nRead Track End\n");
  EXPECT_EQ(describeSong(r.song),
            "header format=1 tracks=2 division=480 end=2000\n"
            "track 1 content=1 tempo=1 polyphony=0 active=0 controllers= name=\"Conductor\"\n"
            "  0 Meta FF/03 [9] 43 6F 6E 64 75 63 74 6F 72\n"
            "  0 Meta FF/51 [3] 07 A1 20 tempo=0\n"
            "  0 Meta FF/58 [4] 06 03 18 08 tempo=0\n"
            "  1920 Meta FF/51 [3] 09 27 C0 tempo=1\n"
            "  1920 Meta FF/2F [0] tempo=1\n"
            "track 2 content=1 tempo=0 polyphony=1 active=0 controllers=7, name=\"Piano\"\n"
            "  0 Meta FF/03 [5] 50 69 61 6E 6F tempo=0\n"
            "  0 NoteOn 90 [2] 3C 64 tempo=0 voice=0\n"
            "  480 NoteOff 80 [2] 3C 00 tempo=0\n"
            "  2000 ControlChange B1 [2] 07 5A tempo=1\n"
            "  2000 Meta FF/2F [0] tempo=1\n"
            "tempo 0: track 1 event 1 tick 0 bpm 120.000000\n"
            "tempo 1: track 1 event 3 tick 1920 bpm 99.999992\n"
            "beat 6/8 tick 0\n");
}

// After a meta or system-exclusive event a data byte finds no running status: an event of kind
// None holding that status byte, and the data byte is read again as the next delta time.
TEST(RunningStatus, RepeatsChannelStatusesAndIsCancelledByMetaAndSysEx) {
  MidiBuilder builder;
  builder.track()
      .useRunningStatus()
      .noteOn(0, 2, 60, 100)
      .noteOn(0, 2, 60, 0)
      .controlChange(240, 2, 7, 90)
      .meta(240, 0x01, {'x'})
      .raw({0x10, 0x40, 0x00, 0x90, 0x40, 0x00})
      .sysEx(240, {0x7E, 0xF7})
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

TEST(TrackBookkeeping, VoicesPolyphonyControllersAndContent) {
  MidiBuilder builder;
  builder.track()
      .noteOn(0, 0, 60, 100)
      .noteOn(0, 1, 64, 100)
      .noteOn(10, 2, 67, 100)
      .noteOn(20, 0, 60, 0)
      .noteOff(30, 1, 64)
      .noteOff(40, 2, 67)
      .noteOff(50, 0, 72)
      .noteOn(60, 0, 72, 100)
      .raw({0x00, 0x90, 0x3C, 0x80})  // velocity byte 0x80 is -128: neither starts nor ends a note
      .controlChange(60, 0, 10, 1)
      .raw({0x00, 0xB0, 0x85, 0x01})  // controller numbers are signed bytes too
      .controlChange(60, 0, 7, 1)
      .controlChange(60, 0, 10, 2)
      .noteOff(70, 0, 72)
      .noteOff(70, 0, 72)
      .endOfTrack(70);
  const Read r = read(builder);
  const MidiTrack& track = r.song.tracks[0];
  std::vector<int32_t> voices;
  for (const MidiEvent& e : track.events) voices.push_back(e.voice);
  EXPECT_EQ(voices, (std::vector<int32_t>{0, 1, 2, 0, 0, 0, 0, -1, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(track.maxPolyphony, 3);
  EXPECT_EQ(track.activeNotes, -2);
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

TEST(TrackName, CutAt511BytesEndsAtNulAndTheLastOneWins) {
  MidiBuilder builder;
  builder.track().name(std::string(600, 'n')).endOfTrack(0);
  builder.track().name("First").meta(0, 0x03, {'P', 'i', 'a', 0x00, 'n', 'o'}).endOfTrack(0);
  const Read r = read(builder);
  EXPECT_EQ(r.song.tracks[0].name, std::string(511, 'n'));
  EXPECT_EQ(r.song.tracks[0].events[0].length, 600);
  EXPECT_EQ(r.song.tracks[1].name, "Pia");
  EXPECT_EQ(r.lines, "Read Track 1...\nName: " + std::string(511, 'n') +
                         "\nRead Track 2...\nName: First\nName: Pia\nRead Track End\n");
}

// Each event links to the tempo change in effect at its tick among those read before it; a Set
// Tempo event to its own record, even where a record read earlier lies later.
TEST(TempoLinks, SeeWhatWasReadBeforeAndSetTempoSeesItsOwn) {
  MidiBuilder format1;
  format1.track().tempo(0, 500000).tempo(960, 1000000).endOfTrack(1920);
  format1.track().noteOn(0, 0, 60, 100).tempo(480, 600000).noteOn(500, 0, 62, 100).noteOn(960, 0, 64, 100).endOfTrack(1000);
  const Read r = read(format1);
  std::vector<int32_t> links;
  for (const MidiEvent& e : r.song.tracks[1].events) links.push_back(e.tempo);
  EXPECT_EQ(links, (std::vector<int32_t>{0, 2, 0, 2, 2}));
  EXPECT_EQ(r.song.tempos[2].track, 1);
  EXPECT_EQ(r.song.tempos[2].event, 1);

  MidiBuilder format0(480, 0);
  format0.track().noteOn(0, 0, 60, 100).tempo(0, 500000).noteOff(240, 0, 60).tempo(480, 400000).noteOn(480, 0, 62, 100);
  links.clear();
  for (const MidiEvent& e : read(format0).song.tracks[0].events) links.push_back(e.tempo);
  EXPECT_EQ(links, (std::vector<int32_t>{kNone, 0, 0, 1, 1}));
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
