// Worked examples of the slicing stages, the cases kept as data: how sounds are numbered, how
// one track is laid out, and the re-timing of all layouts together. On songs read from files as
// the conversion runs them.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "support/case_table.h"
#include "support/converted_song.h"
#include "support/song_text.h"

namespace rendlow::test {
namespace {


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

// A layout, an event a line.
std::string linesOf(const TimedEventList& events) {
  std::string text;
  for (std::size_t i = 0; i < events.size(); ++i) text += "\n  " + describe(events, i);
  return text + "\n";
}

// A track under 120 BPM of the given notes (tick, length, pitch) and changes of the expression
// controller (tick, value), note-ons before note-offs and both before a change at their tick.
Bytes songOfNotes(const std::vector<std::array<int32_t, 3>>& notes, const std::vector<int64_t>& changes) {
  enum What { On, Off, Change };
  std::vector<std::array<int32_t, 3>> events;  // tick, what, pitch or value
  for (const auto& [tick, length, pitch] : notes)
    events.push_back({tick, On, pitch}), events.push_back({tick + length, Off, pitch});
  for (std::size_t i = 0; i + 1 < changes.size(); i += 2)
    events.push_back({static_cast<int32_t>(changes[i]), Change, static_cast<int32_t>(changes[i + 1])});
  std::stable_sort(events.begin(), events.end(), [](const auto& x, const auto& y) { return x[0] < y[0]; });
  MidiBuilder b;
  TrackBuilder& track = b.track().tempo(0, 500000);
  for (const auto& [tick, what, value] : events) {
    if (what == On) track.noteOn(tick, 0, value, 100);
    if (what == Off) track.noteOff(tick, 0, value);
    if (what == Change) track.controlChange(tick, 0, 11, value);
  }
  return b.bytes();
}

TEST(Numbering, ReusesTheNearestDefinitionFartherThanTheThreshold) {
  for (const CaseLine& c : readCaseTable("slicer/data/numbering.txt")) {
    SCOPED_TRACE(c.where);
    const std::array<std::string, 3> methods = {"Single", "Chord", "Legato"};
    const auto method = std::find(methods.begin(), methods.end(), c.columns.at(0)) - methods.begin();
    TrackSettings settings = settingsOf(static_cast<SplitMethod>(method));
    settings.multipleThreshold = static_cast<int32_t>(numbersOf(c.columns.at(1)).at(0));
    const std::vector<int64_t> controllers = numbersOf(c.columns.at(2));
    settings.ccSplitWidth = static_cast<int32_t>(controllers.at(0));
    settings.ccInterval = static_cast<int32_t>(controllers.at(1));
    settings.lengthSplitWidth = controllers.size() > 2 ? static_cast<int32_t>(controllers.at(2)) : 0;
    const std::vector<int64_t> given = numbersOf(c.columns.at(4));
    std::vector<std::array<int32_t, 3>> notes;
    for (std::size_t i = 0; i + 2 < given.size(); i += 3)
      notes.push_back({static_cast<int32_t>(given[i]), static_cast<int32_t>(given[i + 1]),
                       static_cast<int32_t>(given[i + 2])});
    const ConvertedSong song(songOfNotes(notes, numbersOf(c.columns.at(3))), {settings});
    std::vector<int64_t> numbers;
    for (const Note& n : song.sliced[0].notes)
      numbers.insert(numbers.end(), {n.definition, n.sound, n.variant, n.firstOccurrence});
    EXPECT_EQ(numbers, numbersOf(c.columns.at(5)));
  }
}

// All the stages made of a song, as text: what the extraction printed, every track laid out on its
// own (with the layout position of each tempo change it copies), then re-timed, each tempo
// change's record, and how the re-timing ended.
std::string stagesOf(const ConvertedSong& song) {
  std::string text = "extracted:\n" + song.extracted.str();
  for (std::size_t t = 0; t < song.laidOut.size(); ++t) {
    text += "track " + std::to_string(t) + " laid out, tempo copies";
    for (const auto& [tempo, position] : song.laidOut[t].tempoCopies)
      text += " " + std::to_string(tempo) + "@" + std::to_string(position);
    text += linesOf(song.laidOut[t].events) + "track " + std::to_string(t) + " re-timed:";
    song.ticks(t);  // checks that no event comes before the one before it
    text += linesOf(song.layout.tracks[t].events);
  }
  for (const RetimedTempo& t : song.tempos)
    appendFormatted(text, "tempo: track %d event %d tick %d granted %d needed %d\n", t.track, t.event, t.tick,
                    t.granted, t.needed);
  appendFormatted(text, "cycles %d, ending %d\n", song.report.cycles, static_cast<int>(song.report.ending));
  return text + "printed:\n" + song.lines.str() + "\n";
}

TEST(Layout, EverySongOfTheDataFolderAsItsGoldenTextHoldsIt) {
  std::string text;
  for (const CaseLine& c : readCaseTable("slicer/data/layouts.txt")) {
    const std::vector<int64_t> settings = numbersOf(c.columns.at(1) + " " + c.columns.at(2));
    const Bytes song = readBytes(RENDLOW_TEST_DATA_DIR "/slicer/data/" + c.columns.at(0) + ".mid");
    const ConvertedSong converted(song, {settingsOf(static_cast<SplitMethod>(settings.at(0)),
                                                    static_cast<int32_t>(settings.at(1)))});
    text += "== " + c.columns.at(0) + "\n" + stagesOf(converted);
  }
  expectGolden(text, RENDLOW_TEST_DATA_DIR "/slicer/data/layouts_golden.txt");
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
  EXPECT_EQ(stopped.report.ending, RetimingReport::Ending::CycleLimit);
  EXPECT_EQ(stopped.lines.str(), "Re-timing stopped after 1 cycles without settling\n");
  stopped.ticks(1);  // the last cycle's deltas, every one whole
}

}  // namespace
}  // namespace rendlow::test
