// Reading Standard MIDI Files: progress lines, running status, per-track bookkeeping, names,
// and what a read leaves in the project when it fails.

#include "midi/midi_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "read_song.h"

namespace rendlow::test {
namespace {

TEST(ReadMidiFile, PrintsEveryProgressLineExactly) {
  MidiBuilder song;
  song.track().name("Conductor").tempo(0, 500000).timeSignature(0, 6, 3).tempo(1920, 600000).endOfTrack(1920);
  song.track().name("Piano").noteOn(0, 0, 60, 100).noteOff(480, 0, 60).endOfTrack(480);
  ReadSession session;
  ASSERT_TRUE(session.read(song));
  // 600000 microseconds give 99.999992 in single precision (100.000000 in double precision).
  EXPECT_EQ(session.diagnostics(),
            "Read Track 1...\nName: Conductor\nSet BPM: 120.000000\nSet Mesauge: 6/8\n"
            "Set BPM: 99.999992\nRead Track 2...\nName: Piano\nRead Track End\n");

  const Project& project = session.app.project;
  ASSERT_EQ(project.tempos.size(), 2u);
  EXPECT_EQ(project.tempos[0]->bpm, 120.0f);
  EXPECT_EQ(project.tempos[1]->tick, 1920);
  EXPECT_EQ(project.tempos[1]->shiftedTick, 1920);
  EXPECT_EQ(project.tempos[1]->index, 1);
  EXPECT_EQ(project.tempos[1]->event, project.tracks[0]->events[3]);
  ASSERT_EQ(project.beats.size(), 1u);
  EXPECT_EQ(project.beats[0]->numerator, 6);
  EXPECT_EQ(project.beats[0]->denominator, 8);
  EXPECT_EQ(project.beats[0]->event, project.tracks[0]->events[2]);
  EXPECT_EQ(project.songEnd, 1920);
  EXPECT_TRUE(project.tracks[0]->hasTempo);
  EXPECT_FALSE(project.tracks[1]->hasTempo);
}

TEST(ReadMidiFile, SilentDiagnosticsReadTheSame) {
  MidiBuilder song;
  song.track().name("Piano").noteOn(0, 0, 60, 100).noteOff(480, 0, 60).endOfTrack(480);
  Application quiet;
  TempDir dir;
  song.write(dir.file("song.mid"));
  ASSERT_TRUE(quiet.readMidiFile(dir.file("song.mid")));
  EXPECT_EQ(describeTracks(quiet.project),
            "track 1 \"Piano\" content=1 polyphony=1\n"
            "  0 Meta FF/03 [5] 50 69 61 6E 6F\n"
            "  0 NoteOn 90 [2] 3C 64\n"
            "  480 NoteOff 80 [2] 3C 00\n"
            "  480 Meta FF/2F [0]\n");
}

TEST(ReadMidiFile, TrackCountZeroReadsNoTrack) {
  MidiBuilder song;
  song.track().name("Ignored").endOfTrack(0);
  song.trackCount(0);
  ReadSession session;
  EXPECT_TRUE(session.read(song));
  EXPECT_EQ(session.diagnostics(), "Read Track End\n");
  EXPECT_TRUE(session.app.project.tracks.empty());
}

TEST(RunningStatus, ChannelEventsRepeatTheLastStatus) {
  MidiBuilder song;
  song.track()
      .useRunningStatus()
      .noteOn(0, 2, 60, 100)
      .noteOn(0, 2, 64, 100)
      .noteOn(240, 2, 60, 0)
      .controlChange(240, 2, 7, 90)
      .controlChange(480, 2, 10, 64)
      .endOfTrack(480);
  ReadSession session;
  ASSERT_TRUE(session.read(song));
  EXPECT_EQ(describeTracks(session.app.project),
            "track 1 \"\" content=1 polyphony=2\n"
            "  0 NoteOn 92 [2] 3C 64\n"
            "  0 NoteOn 92 [2] 40 64\n"
            "  240 NoteOn 92 [2] 3C 00\n"
            "  240 ControlChange B2 [2] 07 5A\n"
            "  480 ControlChange B2 [2] 0A 40\n"
            "  480 Meta FF/2F [0]\n");
}

// After a meta or system-exclusive event, a data byte is an event of kind None that keeps the
// meta or system-exclusive status byte; the data byte is then read again as the next delta.
TEST(RunningStatus, DataByteAfterMetaOrSysExIsOfKindNone) {
  MidiBuilder song;
  song.track()
      .noteOn(0, 0, 60, 100)
      .meta(0, 0x01, {'x'})
      .raw({0x10, 0x40, 0x00, 0x90, 0x40, 0x00})
      .sysEx(0, {0x7E, 0xF7})
      .raw({0x00, 0x05, 0xFF, 0x2F, 0x00});
  ReadSession session;
  ASSERT_TRUE(session.read(song));
  EXPECT_EQ(describeTracks(session.app.project),
            "track 1 \"\" content=1 polyphony=1\n"
            "  0 NoteOn 90 [2] 3C 64\n"
            "  0 Meta FF/01 [1] 78\n"
            "  16 None FF [0]\n"
            "  80 None FF [0]\n"
            "  80 NoteOn 90 [2] 40 00\n"
            "  80 SysEx F0 [2] 7E F7\n"
            "  80 None F0 [0]\n"
            "  85 Meta FF/2F [0]\n");
  const MidiEvent& none = session.event(0, 2);
  EXPECT_EQ(none.metaType, -1);
  EXPECT_TRUE(none.data.empty());
  EXPECT_EQ(session.app.runningStatus.lastStatus, 0xFF);
  EXPECT_EQ(session.app.runningStatus.lastKind, EventKind::None);
}

TEST(RunningStatus, TrackStartingWithADataByteFindsNone) {
  MidiBuilder song;
  song.track().noteOn(0, 0, 60, 100).noteOff(480, 0, 60).endOfTrack(480);
  song.track().raw({0x00, 0x3C, 0x90, 0x3C, 0x64, 0x00, 0xFF, 0x2F, 0x00});
  ReadSession session;
  ASSERT_TRUE(session.read(song));
  EXPECT_EQ(describeEvent(session.event(1, 0)), "0 None FF [0]");
  EXPECT_EQ(describeEvent(session.event(1, 1)), "60 NoteOn 90 [2] 3C 64");
}

// Running status lives as long as the program: a file that stops without End of Track leaves
// its channel status for the next file read.
TEST(RunningStatus, OutlivesTheFile) {
  MidiBuilder cut;
  cut.track().noteOn(0, 3, 60, 100);
  MidiBuilder next;
  next.track().raw({0x00, 0x40, 0x64}).raw({0x00, 0xFF, 0x2F, 0x00});

  ReadSession session;
  ASSERT_TRUE(session.read(cut));
  ASSERT_TRUE(session.read(next));
  EXPECT_EQ(describeEvent(session.event(0, 0)), "0 NoteOn 93 [2] 40 64");

  ReadSession fresh;
  ASSERT_TRUE(fresh.read(next));
  EXPECT_EQ(describeEvent(fresh.event(0, 0)), "0 None 00 [0]");
}

TEST(TrackBookkeeping, VoicesPolyphonyAndNegativeCounts) {
  MidiBuilder song;
  song.track()
      .noteOn(0, 0, 60, 100)
      .noteOn(0, 1, 64, 100)
      .noteOn(10, 2, 67, 100)
      .noteOn(20, 0, 60, 0)
      .noteOff(30, 1, 64)
      .noteOff(40, 2, 67)
      .noteOff(50, 0, 72)
      .noteOn(60, 0, 72, 100)
      .raw({0x00, 0x90, 0x3C, 0x80})  // velocity byte 0x80 is -128: neither starts nor ends a note
      .noteOff(70, 0, 72)
      .noteOff(70, 0, 72)
      .endOfTrack(70);
  ReadSession session;
  ASSERT_TRUE(session.read(song));
  const MidiTrack& track = session.track(0);
  std::vector<int32_t> voices;
  for (const auto& event : track.events) voices.push_back(event->voice);
  EXPECT_EQ(voices, (std::vector<int32_t>{0, 1, 2, 0, 0, 0, 0, -1, 0, 0, 0, 0}));
  EXPECT_EQ(track.maxPolyphony, 3);
  EXPECT_EQ(track.activeNotes, -2);
}

TEST(TrackBookkeeping, ControllersAreTakenAsSignedNumbers) {
  MidiBuilder song;
  song.track()
      .controlChange(0, 0, 7, 100)
      .controlChange(0, 1, 10, 64)
      .controlChange(10, 0, 7, 90)
      .raw({0x00, 0xB0, 0x85, 0x01})
      .pitchBend(20, 0, 8192)
      .endOfTrack(20);
  ReadSession session;
  ASSERT_TRUE(session.read(song));
  EXPECT_EQ(session.track(0).controllers, (std::set<int32_t>{-123, 7, 10}));
}

TEST(TrackBookkeeping, WhatGivesATrackContent) {
  MidiBuilder song;
  song.track()
      .name("Only at zero")
      .noteOn(0, 0, 60, 100)
      .controlChange(0, 0, 7, 100)
      .sysEx(0, {0x01})
      .endOfTrack(0);
  song.track().name("Tempo").noteOn(0, 0, 60, 100).tempo(0, 500000).endOfTrack(0);
  song.track().name("Time signature").timeSignature(0, 3, 2).endOfTrack(0);
  song.track().name("Text later").meta(480, 0x01, {'a'}).endOfTrack(960);
  song.track().name("SysEx later").sysEx(1, {0x01}).endOfTrack(1);
  song.track().name("Note later").noteOn(1, 0, 60, 100).endOfTrack(1);
  // An event of kind None is no meta event, so at a tick above 0 it counts.
  song.track().name("None later").raw({0x05, 0x40, 0x00, 0xFF, 0x2F, 0x00});
  ReadSession session;
  ASSERT_TRUE(session.read(song));
  std::vector<bool> content;
  for (const auto& track : session.app.project.tracks) content.push_back(track->hasContent);
  EXPECT_EQ(content, (std::vector<bool>{false, true, true, false, true, true, true}));
  EXPECT_TRUE(session.track(1).hasTempo);
  EXPECT_FALSE(session.track(2).hasTempo);
}

TEST(TrackName, CutAt511BytesEndsAtNulAndTheLastOneWins) {
  const std::string longName(600, 'n');
  MidiBuilder song;
  song.track().name(longName).endOfTrack(0);
  song.track().name("First").meta(0, 0x03, {'P', 'i', 'a', 0x00, 'n', 'o'}).endOfTrack(0);
  ReadSession session;
  ASSERT_TRUE(session.read(song));
  EXPECT_EQ(session.track(0).name, std::string(511, 'n'));
  EXPECT_EQ(session.event(0, 0).length, 600);
  EXPECT_EQ(session.track(1).name, "Pia");
  EXPECT_EQ(session.diagnostics(), "Read Track 1...\nName: " + std::string(511, 'n') +
                                       "\nRead Track 2...\nName: First\nName: Pia\nRead Track End\n");
}

TEST(SettingsPath, EverythingFromTheLastDotBecomesTxt) {
  EXPECT_EQ(settingsPathFor("C:\\music\\song.mid"), "C:\\music\\song.txt");
  EXPECT_EQ(settingsPathFor("C:\\my.dir\\song"), "C:\\my.txt");
  EXPECT_EQ(settingsPathFor("song"), "song.txt");
  EXPECT_EQ(settingsPathFor("a.b.mid"), "a.b.txt");
}

TEST(ReadMidiFile, RemembersThePathsOfASuccessfulRead) {
  ReadSession session;
  MidiBuilder song;
  song.track().endOfTrack(0);
  ASSERT_TRUE(session.read(song));
  const Project& project = session.app.project;
  EXPECT_NE(project.inputPath.find("song1.mid"), std::string::npos);
  EXPECT_EQ(project.settingsPath, settingsPathFor(project.inputPath));
}

// A file that cannot be opened empties the tracks and tempo changes only; the time signatures,
// measures and song end stay as the previous read left them.
TEST(ReadMidiFile, FileThatCannotBeOpened) {
  MidiBuilder song;
  song.track().tempo(0, 500000).timeSignature(0, 4, 2).noteOn(960, 0, 60, 100).endOfTrack(960);
  ReadSession session;
  ASSERT_TRUE(session.read(song));
  Project& project = session.app.project;
  project.measures.push_back(std::make_shared<Measure>());
  const std::string previousInput = project.inputPath;

  TempDir dir;
  for (const std::string& path : {dir.file("missing.mid"), dir.path()}) {
    session.lines.str("");
    EXPECT_FALSE(session.read(path));
    EXPECT_EQ(session.diagnostics(), "Failed to open file\n");
    EXPECT_TRUE(project.tracks.empty());
    EXPECT_TRUE(project.tempos.empty());
    EXPECT_TRUE(project.settingsPath.empty());
    EXPECT_EQ(project.beats.size(), 1u);
    EXPECT_EQ(project.measures.size(), 1u);
    EXPECT_EQ(project.songEnd, 960);
    EXPECT_EQ(project.inputPath, previousInput);
  }
}

TEST(ReadMidiFile, FileThatIsNotMidiEmptiesTheSongSilently) {
  MidiBuilder song;
  song.track().tempo(0, 500000).timeSignature(0, 4, 2).noteOn(960, 0, 60, 100).endOfTrack(960);
  ReadSession session;
  ASSERT_TRUE(session.read(song));
  session.lines.str("");
  EXPECT_FALSE(session.read(Bytes{'M', 'T', 'h', 'x', 0, 0, 0, 6, 0, 1, 0, 1, 1, 0xE0}));
  EXPECT_EQ(session.diagnostics(), "");
  const Project& project = session.app.project;
  EXPECT_TRUE(project.tracks.empty());
  EXPECT_TRUE(project.beats.empty());
  EXPECT_EQ(project.songEnd, 0);
  EXPECT_TRUE(project.settingsPath.empty());
}

}  // namespace
}  // namespace rendlow::test
