// Worked examples of what the differential test's step-by-step reference could get wrong along
// with the engine, since both follow one reading of the rules: how sounds are numbered and how
// one track is laid out. Then the re-timing of all layouts together, which that test does not
// reach. On songs read from files as the conversion runs them.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "support/case_table.h"
#include "support/converted_song.h"

namespace rendlow::test {
namespace {

using Lines = std::vector<std::string>;
using Ticks = std::vector<int64_t>;

TrackSettings settingsOf(SplitMethod method, int32_t gridUnit = kUnsetGridUnit) {
  TrackSettings settings;
  settings.splitMethod = static_cast<int32_t>(method);
  settings.gridUnit = gridUnit;
  return settings;
}

// An event of a layout: "on 60 @960 +960" (what it is, its tick, its distance from the event before).
std::string describe(const TimedEventList& events, std::size_t i) {
  const TimedEvent& e = events[i];
  std::string what = e.kind == EventKind::Meta ? "meta " + std::to_string(e.metaType) : "other";
  if (e.startsNote() || e.endsNote()) what = (e.startsNote() ? "on " : "off ") + std::to_string(e.head[0]);
  if (e.kind == EventKind::ControlChange) what = "cc " + std::to_string(e.head[0]) + "=" + std::to_string(e.head[1]);
  if (e.isMeta(kMetaEndOfTrack)) what = "end";
  const int64_t delta = e.tick - (i > 0 ? events[i - 1].tick : 0);
  return what + " @" + std::to_string(e.tick) + " +" + std::to_string(delta);
}

// A track laid out on its own, before any re-timing.
Lines layoutOf(const ConvertedSong& song, std::size_t track) {
  const TimedEventList& events = song.laidOut[track].events;
  Lines lines;
  for (std::size_t i = 0; i < events.size(); ++i) lines.push_back(describe(events, i));
  return lines;
}

// A track under 120 BPM of the given notes (tick, length, pitch), note-ons before note-offs.
Bytes songOfNotes(const std::vector<std::array<int32_t, 3>>& notes) {
  std::vector<std::array<int32_t, 3>> events;  // tick, 0 for on or 1 for off, pitch
  for (const auto& [tick, length, pitch] : notes)
    events.push_back({tick, 0, pitch}), events.push_back({tick + length, 1, pitch});
  std::stable_sort(events.begin(), events.end(), [](const auto& x, const auto& y) { return x[0] < y[0]; });
  MidiBuilder b;
  TrackBuilder& track = b.track().tempo(0, 500000);
  for (const auto& [tick, off, pitch] : events) off ? track.noteOff(tick, 0, pitch) : track.noteOn(tick, 0, pitch, 100);
  return b.bytes();
}

TEST(Numbering, ReusesTheNearestDefinitionFartherThanTheThreshold) {
  for (const CaseLine& c : readCaseTable("slicer/data/numbering.txt")) {
    SCOPED_TRACE(c.where);
    TrackSettings settings = settingsOf(c.columns.at(0) == "Single" ? SplitMethod::Single : SplitMethod::Chord);
    settings.multipleThreshold = static_cast<int32_t>(numbersOf(c.columns.at(1)).at(0));
    const std::vector<int64_t> given = numbersOf(c.columns.at(2));
    std::vector<std::array<int32_t, 3>> notes;
    for (std::size_t i = 0; i + 2 < given.size(); i += 3)
      notes.push_back({static_cast<int32_t>(given[i]), static_cast<int32_t>(given[i + 1]),
                       static_cast<int32_t>(given[i + 2])});
    const ConvertedSong song(songOfNotes(notes), {settings});
    std::vector<int64_t> numbers;
    for (const Note& n : song.sliced[0].notes)
      numbers.insert(numbers.end(), {n.definition, n.sound, n.variant, n.firstOccurrence});
    EXPECT_EQ(numbers, numbersOf(c.columns.at(3)));
  }
}

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
  const ConvertedSong song(b.bytes(), {TrackSettings{}});
  EXPECT_EQ(song.extracted.str(), "NoteOn: 0 480 60\nNoteOn: 240 480 62\nNoteOn: 1920 480 60\nNoteOn: 3840 480 64\n");
  EXPECT_EQ(layoutOf(song, 1), (Lines{"on 60 @0 +0", "off 60 @480 +480", "on 62 @1440 +960", "off 62 @1920 +480",
                                      "on 64 @2880 +960", "off 64 @3360 +480", "end @3360 +0"}));
  // A tempo change opening the track takes the gap; presets stand before every sound off tick 0.
  MidiBuilder opening;
  opening.track().tempo(0, 500000).controlChange(0, 0, 7, 100).noteOn(0, 0, 60, 100).noteOff(480, 0, 60)
      .noteOn(480, 0, 62, 100).noteOff(960, 0, 62);
  EXPECT_EQ(layoutOf(ConvertedSong(opening.bytes(), {TrackSettings{}}), 0),
            (Lines{"meta 81 @960 +960", "cc 7=100 @960 +0", "on 60 @960 +0", "off 60 @1440 +480",
                   "cc 7=100 @2400 +960", "on 62 @2400 +0", "off 62 @2880 +480"}));
}

// A sound met while another is open is postponed; the walk comes back for it and meets the
// stretch in between again. A Set Tempo event in that stretch is copied twice, and its record
// follows the later copy.
TEST(RenderLayout, APostponedStretchIsWalkedTwice) {
  MidiBuilder b = underOneTempo();
  b.track().noteOn(0, 0, 60, 100).noteOn(240, 0, 62, 100).controlChange(300, 0, 1, 5).tempo(360, 666667)
      .noteOff(480, 0, 62).noteOff(960, 0, 60);
  const ConvertedSong song(b.bytes(), {settingsOf(SplitMethod::Single)});
  EXPECT_EQ(layoutOf(song, 1), (Lines{"on 60 @0 +0", "cc 1=5 @300 +300", "meta 81 @360 +60", "off 60 @960 +600",
                                      "cc 1=0 @1920 +960", "on 62 @1920 +0", "cc 1=5 @1980 +60",
                                      "meta 81 @2040 +60", "off 62 @2160 +120"}));
  // The tempo change of another track (0) is not this layout's to follow.
  EXPECT_EQ(song.laidOut[1].tempoCopies, (std::vector<std::pair<int32_t, int32_t>>{{1, 7}}));
}

TEST(SettleLayout, SoundStartsGoOntoTheGridNeverBeforeTheEventBeforeThem) {
  for (const CaseLine& c : readCaseTable("slicer/data/grid_starts.txt")) {
    SCOPED_TRACE(c.where);
    const int32_t firstLength = static_cast<int32_t>(numbersOf(c.columns.at(0)).at(0));
    MidiBuilder b;
    b.track().noteOn(960, 0, 60, 100).noteOff(960 + firstLength, 0, 60).noteOn(5000, 0, 62, 100).noteOff(5480, 0, 62);
    const int32_t gridUnit = static_cast<int32_t>(numbersOf(c.columns.at(1)).at(0));
    ConvertedSong converted(b.bytes(), {settingsOf(SplitMethod::Chord, gridUnit)});
    EXPECT_EQ(converted.ticks(0), numbersOf(c.columns.at(2)));
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
  ConvertedSong converted(b.bytes(), {settingsOf(SplitMethod::Chord, 0)});
  EXPECT_TRUE(converted.report.settled());
  EXPECT_EQ(converted.report.cycles, 2);
  EXPECT_EQ(converted.ticks(0), (Ticks{0, 1440, 1440}));
  EXPECT_EQ(converted.ticks(1), (Ticks{960, 1440, 2400, 2880, 2880}));
  EXPECT_EQ(converted.tempos[0].needed, 1440);
  EXPECT_EQ(converted.tempos[0].granted, 1440);
  EXPECT_EQ(converted.tempos[1].tick, 1440);
  EXPECT_EQ(converted.lines.str(), "");
}

// One track with its tempo changes (format 1; a format 0 file would be split by channel): the
// drone holds past the second tempo change, so the sound under that tempo is postponed and the
// second Set Tempo event is laid out twice. Only the copy its record follows moves as the tempo
// change; the earlier copy keeps its distance.
TEST(SettleLayout, ATempoChangeLaidOutTwiceMovesOnlyAtTheCopyItsRecordFollows) {
  MidiBuilder b(480, 1);
  b.track().tempo(0, 500000).noteOn(0, 0, 36, 100).noteOn(960, 0, 60, 100).tempo(1920, 400000)
      .noteOff(2400, 0, 60).noteOn(2880, 0, 62, 100).noteOff(3360, 0, 62).noteOff(3840, 0, 36).endOfTrack(3840);
  ConvertedSong converted(b.bytes(), {settingsOf(SplitMethod::Single, 0)});
  const Ticks ticks = converted.ticks(0);
  const TimedEventList& events = converted.layout.tracks[0].events;
  ASSERT_EQ(describe(events, 2) + ", " + describe(events, 5), "meta 81 @2880 +1920, meta 81 @5760 +0");
  EXPECT_EQ(converted.tempos[1].event, 5);
  EXPECT_TRUE(converted.report.settled());
  EXPECT_EQ(converted.tempos[1].tick, 5760);
  EXPECT_EQ(describe(events, 7), "on 62 @7200 +960");
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

// The conductor starts with a time signature, which the layout gives the gap of a sound start:
// the tempo change at 0 behind it is never pulled before it.
TEST(SettleLayout, ManyTempoChangesWithPresetsInEveryTrack) {
  ConvertedSong plain(songWithTempoChanges(40, 6).bytes(), {settingsOf(SplitMethod::Chord, 0)});
  EXPECT_TRUE(plain.report.settled());
  EXPECT_EQ(plain.report.cycles, 2);
  // Each section is as long as its longest need: a held track's two sounds of 1920 ticks, 960
  // after the tempo change and 960 apart, and the gap after the second.
  for (std::size_t i = 1; i < plain.tempos.size(); ++i)
    EXPECT_EQ(plain.tempos[i].tick - plain.tempos[i - 1].tick, 960 + 1920 + 960 + 1920 + 960) << i;
  ConvertedSong gridded(songWithTempoChanges(12, 4).bytes(), {settingsOf(SplitMethod::Chord, 1920)});
  EXPECT_TRUE(gridded.report.settled());
  for (std::size_t t = 0; t < gridded.song.tracks.size(); ++t) gridded.ticks(t);
  ConvertedSong stopped(songWithTempoChanges(12, 4).bytes(), {settingsOf(SplitMethod::Chord, 1920)}, 1);
  EXPECT_EQ(stopped.report.ending, SettleReport::Ending::CycleLimit);
  EXPECT_EQ(stopped.lines.str(), "Re-timing stopped after 1 cycles without settling\n");
  stopped.ticks(1);  // the last cycle's deltas, every one whole
}

}  // namespace
}  // namespace rendlow::test
