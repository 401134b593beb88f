// The rendering layout of one track, and the re-timing of all layouts together, on songs read
// from files as the conversion runs them.

#include <gtest/gtest.h>

#include <sstream>

#include "slicer/layout_retiming.h"
#include "slicing.h"

namespace rendlow::test {
namespace {

// A conductor with one tempo change at 0; the track under test is track 1.
MidiBuilder underOneTempo() {
  MidiBuilder b;
  b.track().tempo(0, 500000).endOfTrack(0);
  return b;
}

TEST(RenderLayout, EveryDistinctSoundOnceAfterItsGap) {
  MidiBuilder b = underOneTempo();
  b.track().noteOn(0, 0, 60, 100).noteOn(240, 0, 62, 100).noteOff(480, 0, 60).noteOff(720, 0, 62)
      .noteOn(1920, 0, 60, 100).noteOff(2400, 0, 60).noteOn(3840, 0, 64, 100).noteOff(4320, 0, 64).endOfTrack(4800);
  Sliced s(b, {}, 1);
  const EventList asRead = s.track().events;
  EXPECT_EQ(s.layout(), (Lines{"on 60 @0 +0", "off 60 @480 +480", "on 62 @1440 +960", "off 62 @1920 +480",
                               "on 64 @2880 +960", "off 64 @3360 +480", "end @3360 +0"}));
  ASSERT_EQ(s.track().originalEvents.size(), asRead.size());
  EXPECT_EQ(s.track().originalEvents[6].tick, 3840);
  EXPECT_EQ(s.track().events[2].note, 1);
  // A tempo change opening the track takes the gap; presets stand before every sound off tick 0.
  MidiBuilder opening;
  opening.track().tempo(0, 500000).controlChange(0, 0, 7, 100).noteOn(0, 0, 60, 100).noteOff(480, 0, 60)
      .noteOn(480, 0, 62, 100).noteOff(960, 0, 62);
  EXPECT_EQ(Sliced(opening).layout(), (Lines{"meta 81 @960 +960", "cc 7=100 @960 +0", "on 60 @960 +0", "off 60 @1440 +480",
                                             "cc 7=100 @2400 +960", "on 62 @2400 +0", "off 62 @2880 +480"}));
}

TEST(RenderLayout, PresetsRestoreTheControllersBeforeASoundStart) {
  MidiBuilder b = underOneTempo();
  b.track().controlChange(0, 3, 7, 100).controlChange(0, 3, 10, 64).noteOn(480, 3, 60, 100).noteOff(960, 3, 60);
  Sliced s(b, {}, 1);
  EXPECT_EQ(s.layout(), (Lines{"cc 7=100 @0 +0", "cc 10=64 @0 +0", "cc 7=100 @960 +960", "cc 10=64 @960 +0",
                               "on 60 @960 +0", "off 60 @1440 +480"}));
  const MidiEvent& preset = s.track().events[2];
  EXPECT_EQ(preset.status, 0xB0);  // the first channel, whatever the note's channel
  EXPECT_EQ(preset.tempo, kNone);
  EXPECT_EQ(preset.note, kNone);
}

// A sound met while another is open is postponed; the walk comes back for it and meets the
// stretch in between again. A Set Tempo event in that stretch is copied twice, and its record
// follows the later copy.
TEST(RenderLayout, APostponedStretchIsWalkedTwice) {
  MidiBuilder b = underOneTempo();
  b.track().noteOn(0, 0, 60, 100).noteOn(240, 0, 62, 100).controlChange(300, 0, 1, 5).tempo(360, 666667)
      .noteOff(480, 0, 62).noteOff(960, 0, 60);
  Sliced s(b, withSplit(SplitMethod::Single), 1);
  EXPECT_EQ(s.layout(), (Lines{"on 60 @0 +0", "cc 1=5 @300 +300", "meta 81 @360 +60", "off 60 @960 +600",
                               "cc 1=0 @1920 +960", "on 62 @1920 +0", "cc 1=5 @1980 +60", "meta 81 @2040 +60",
                               "off 62 @2160 +120"}));
  EXPECT_EQ(s.song.tempos[1].event, 7);
  EXPECT_EQ(s.song.tempos[0].event, 0);  // a tempo change of another track stays
}

// Every note held to the end: each sound postpones all later ones and the walk goes over the
// rest of the track once per sound, far past the bound for 3,000 events.
TEST(RenderLayout, ATrackPastTheBoundIsRefusedAndLeftAsItWas) {
  MidiBuilder b = underOneTempo();
  TrackBuilder& t = b.track();
  for (int i = 0; i < 1500; ++i) t.noteOn(i * 10, 0, i % 128, 100).controlChange(i * 10 + 5, 0, 1, i % 128);
  t.tempo(15000, 400000).endOfTrack(15010);
  Sliced s(b, withSplit(SplitMethod::Single), 1);
  const EventList asRead = s.track().events;
  EXPECT_FALSE(buildRenderLayout(s.track(), 1, s.sliced, s.settings, s.song.tempos));
  EXPECT_EQ(s.track().events.size(), asRead.size());
  EXPECT_TRUE(s.track().originalEvents.empty());
  EXPECT_EQ(s.song.tempos[1].event, 3000);
}

// The conversion's stages over every track, and the layout ticks they leave.
struct Converted {
  Converted(const MidiBuilder& b, std::vector<TrackSettings> trackSettings, int32_t maxCycles = kMaxRetimingCycles)
      : song(readSong(b)), settings(std::move(trackSettings)) {
    settings.resize(song.tracks.size(), settings.back());
    sliced.resize(song.tracks.size());
    Diagnostics quiet;
    for (std::size_t i = 0; i < song.tracks.size(); ++i) {
      if (!settings[i].enabled) continue;
      sliced[i] = extractNotes(song.tracks[i], settings[i], song.tempos, quiet);
      EXPECT_TRUE(buildRenderLayout(song.tracks[i], static_cast<int32_t>(i), sliced[i], settings[i], song.tempos));
    }
    Diagnostics diagnostics(&lines);
    report = settleLayout(song, sliced, settings, diagnostics, maxCycles);
  }
  std::vector<int64_t> ticks(std::size_t track) const {
    std::vector<int64_t> result;
    int64_t tick = 0;
    for (const MidiEvent& e : song.tracks[track].events) {
      result.push_back(tick += e.delta);
      EXPECT_GE(e.delta, 0);
      if (e.startsNote() || e.isMeta(kMetaTempo)) EXPECT_EQ(e.tick, tick);
    }
    return result;
  }

  Song song;
  std::vector<TrackSettings> settings;
  std::vector<SlicedTrack> sliced;
  std::ostringstream lines;
  SettleReport report;
};

TrackSettings gridOf(int32_t gridUnit) {
  TrackSettings settings;
  settings.gridUnit = gridUnit;
  return settings;
}

// Two sounds and no tempo: the second starts on the grid line after the first's start plus the
// gap, but never before the first has ended.
TEST(SettleLayout, SoundStartsGoOntoTheGridNeverBeforeTheEventBeforeThem) {
  struct Case {
    int32_t firstLength, gridUnit;
    std::vector<int64_t> ticks;
  };
  const Case cases[] = {{480, 0, {960, 1440, 2400, 2880}},
                        {480, 960, {960, 1440, 1920, 2400}},
                        {1500, 960, {960, 2460, 2880, 3360}},
                        {480, 1920, {1920, 2400, 3840, 4320}}};
  for (const Case& c : cases) {
    MidiBuilder b;
    b.track().noteOn(960, 0, 60, 100).noteOff(960 + c.firstLength, 0, 60).noteOn(5000, 0, 62, 100).noteOff(5480, 0, 62);
    Converted converted(b, {gridOf(c.gridUnit)});
    EXPECT_EQ(converted.ticks(0), c.ticks) << c.firstLength << " on a grid of " << c.gridUnit;
    EXPECT_TRUE(converted.report.settled());
  }
}

// The conductor's first tempo change keeps tick 0; the bass's first sound starts 960 after it;
// the second tempo change follows by what that section needs (the clearance is room the tempo
// change gives, not room the sound needs): 960 of gap and 480 of sound.
TEST(SettleLayout, ATempoChangeFollowsThePreviousSectionsNeedInTwoCycles) {
  MidiBuilder b;
  b.track().tempo(0, 500000).tempo(7680, 400000).endOfTrack(7680);
  b.track().noteOn(0, 0, 60, 100).noteOff(480, 0, 60).noteOn(7680, 0, 62, 100).noteOff(8160, 0, 62).endOfTrack(8160);
  Converted converted(b, {gridOf(0)});
  EXPECT_TRUE(converted.report.settled());
  EXPECT_EQ(converted.report.cycles, 2);
  EXPECT_EQ(converted.ticks(0), (std::vector<int64_t>{0, 1440, 1440}));
  EXPECT_EQ(converted.ticks(1), (std::vector<int64_t>{960, 1440, 2400, 2880, 2880}));
  EXPECT_EQ(converted.song.tempos[0].extent, 1440);
  EXPECT_EQ(converted.song.tempos[0].shift, 1440);
  EXPECT_EQ(converted.song.tempos[1].tick, 1440);
  EXPECT_EQ(converted.lines.str(), "");
}

// The layout gives the conductor's first event, a time signature, the gap of a sound start; the
// tempo change at 0 behind it is never pulled before it.
TEST(SettleLayout, AConductorStartingWithATimeSignatureKeepsEveryDeltaWhole) {
  MidiBuilder b;
  b.track().timeSignature(0, 4, 2).tempo(0, 500000).tempo(7680, 400000).endOfTrack(7680);
  b.track().noteOn(0, 0, 40, 100).noteOff(480, 0, 40).noteOn(7680, 0, 41, 100).noteOff(8160, 0, 41).endOfTrack(8160);
  Converted converted(b, {gridOf(0)});
  EXPECT_TRUE(converted.report.settled());
  EXPECT_EQ(converted.ticks(0), (std::vector<int64_t>{960, 960, 2400, 2400}));
  EXPECT_EQ(converted.ticks(1), (std::vector<int64_t>{1920, 2400, 3360, 3840, 3840}));
}

// Format 0: the drone holds past the second tempo change, so the sound under that tempo is
// postponed and the second Set Tempo event is laid out twice. Only the copy its record follows
// moves as the tempo change; the earlier copy keeps its distance.
TEST(SettleLayout, ATempoChangeLaidOutTwiceMovesOnlyAtTheCopyItsRecordFollows) {
  MidiBuilder b(480, 0);
  b.track().tempo(0, 500000).noteOn(0, 0, 36, 100).noteOn(960, 0, 60, 100).tempo(1920, 400000)
      .noteOff(2400, 0, 60).noteOn(2880, 0, 62, 100).noteOff(3360, 0, 62).noteOff(3840, 0, 36).endOfTrack(3840);
  TrackSettings single = withSplit(SplitMethod::Single);
  single.gridUnit = 0;
  Converted converted(b, {single});
  const std::vector<int64_t> ticks = converted.ticks(0);
  const EventList& events = converted.song.tracks[0].events;
  ASSERT_EQ(Sliced::describe(events[2]) + ", " + Sliced::describe(events[5]), "meta 81 @2880 +1920, meta 81 @5760 +0");
  EXPECT_EQ(converted.song.tempos[1].event, 5);
  EXPECT_TRUE(converted.report.settled());
  EXPECT_EQ(converted.song.tempos[1].tick, 5760);
  EXPECT_EQ(Sliced::describe(events[7]), "on 62 @7200 +960");
}

// A conductor with `tempoCount` tempo changes four measures apart, and tracks that play one note
// per measure: one sound per tempo section but the section's last note, each track setting its
// volume and pan once, so presets (which belong to no tempo) stand before every sound. Every
// other track holds its notes for a measure, so a section's last note ends under the next tempo.
MidiBuilder songWithTempoChanges(int tempoCount, int trackCount) {
  constexpr int32_t kSection = 4 * 1920;
  MidiBuilder b;
  TrackBuilder& conductor = b.track().timeSignature(0, 4, 2);
  for (int i = 0; i < tempoCount; ++i) conductor.tempoBpm(i * kSection, 90.0 + 60.0 * i / tempoCount);
  conductor.endOfTrack(tempoCount * kSection);
  for (int t = 0; t < trackCount; ++t) {
    TrackBuilder& track = b.track().controlChange(0, t, 7, 100).controlChange(0, t, 10, 64);
    for (int32_t start = 240 * (t % 4); start < tempoCount * kSection; start += 1920) {
      const int pitch = 36 + (start / kSection + t) % 60 + (start % kSection >= 3 * 1920 ? 1 : 0);
      track.noteOn(start, t, pitch, 100).noteOff(start + (t % 2 == 0 ? 480 : 1920), t, pitch);
    }
    track.endOfTrack(tempoCount * kSection + 1920);
  }
  return b;
}

// What the rendering file promises: every sound head at least 960 ticks after its tempo change
// and over before the next one begins.
void expectEverySoundUnderItsOwnTempo(const Converted& converted) {
  for (std::size_t t = 0; t < converted.song.tracks.size(); ++t) {
    const std::vector<int64_t> ticks = converted.ticks(t);
    for (std::size_t i = 0; i < ticks.size(); ++i) {
      const MidiEvent& e = converted.song.tracks[t].events[i];
      if (!e.startsNote() || e.tempo == kNone || !converted.sliced[t].notes[e.note].isHead()) continue;
      EXPECT_GE(ticks[i], converted.song.tempos[e.tempo].tick + kTempoClearance);
      if (static_cast<std::size_t>(e.tempo) + 1 < converted.song.tempos.size())
        EXPECT_LE(ticks[i] + converted.sliced[t].notes[e.note].duration, converted.song.tempos[e.tempo + 1].tick);
    }
  }
}

TEST(SettleLayout, FortyTempoChangesWithPresetsInEveryTrackSettleInTwoCycles) {
  Converted converted(songWithTempoChanges(40, 6), {gridOf(0)});
  EXPECT_TRUE(converted.report.settled());
  EXPECT_EQ(converted.report.cycles, 2);
  // Each section is as long as its longest need: a held track's two sounds of 1920 ticks, 960
  // after the tempo change and 960 apart, and the gap after the second.
  for (std::size_t i = 1; i < converted.song.tempos.size(); ++i)
    EXPECT_EQ(converted.song.tempos[i].tick - converted.song.tempos[i - 1].tick, 960 + 1920 + 960 + 1920 + 960) << i;
  expectEverySoundUnderItsOwnTempo(converted);
}

TEST(SettleLayout, WithAGridEverySoundStillStartsUnderItsOwnTempo) {
  Converted converted(songWithTempoChanges(12, 4), {gridOf(1920)});
  EXPECT_TRUE(converted.report.settled());
  expectEverySoundUnderItsOwnTempo(converted);
  Converted stopped(songWithTempoChanges(12, 4), {gridOf(1920)}, 1);
  EXPECT_EQ(stopped.report.ending, SettleReport::Ending::CycleLimit);
  EXPECT_EQ(stopped.lines.str(), "Re-timing stopped after 1 cycles without settling\n");
  stopped.ticks(1);  // the last cycle's deltas, every one whole
}

}  // namespace
}  // namespace rendlow::test
