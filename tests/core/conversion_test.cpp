// The conversion run on songs read from files: the stages in their order, and the rendering
// layouts they leave, checked against what the re-timing promises.

#include "app/conversion.h"

#include <gtest/gtest.h>

#include "bms/measure_grid.h"
#include "app/application.h"
#include "midi/midi_writer.h"
#include "slicer/note.h"
#include "support/interop_export.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"

namespace rendlow {
namespace {

using test::MidiBuilder;

// A conductor with `tempoCount` tempo changes four measures apart (a ramp from 90 to 150 BPM)
// and `trackCount` tracks that play one note per measure, the same sound within a tempo section
// but for the last (so the layout keeps two sounds per section and its sections are much shorter
// than the song's). Every other track holds its notes for a measure, so a section's last note
// ends under the next tempo. Each track sets its volume and pan once, at the start, so the layout puts
// controller presets, which belong to no tempo, before every sound.
constexpr int32_t kSectionTicks = 4 * 1920;

MidiBuilder songWithTempoChanges(int tempoCount, int trackCount) {
  MidiBuilder song(480);
  auto& conductor = song.track();
  conductor.name("Conductor").timeSignature(0, 4, 2);
  for (int i = 0; i < tempoCount; ++i) conductor.tempoBpm(i * kSectionTicks, 90.0 + 60.0 * i / tempoCount);
  conductor.endOfTrack(tempoCount * kSectionTicks);
  for (int t = 0; t < trackCount; ++t) {
    auto& track = song.track();
    const int channel = t % 16;
    const int32_t length = t % 2 == 0 ? 480 : 1920;
    track.name("Track " + std::to_string(t))
        .controlChange(0, channel, 7, 100)
        .controlChange(0, channel, 10, 64);
    for (int32_t start = 240 * (t % 4); start < tempoCount * kSectionTicks; start += 1920) {
      // The held note is a sound of its own, so the layout keeps it.
      const bool lastOfSection = start % kSectionTicks >= 3 * 1920;
      const int pitch = 36 + (start / kSectionTicks + t) % 60 + (lastOfSection ? 1 : 0);
      track.noteOn(start, channel, pitch, 100).noteOff(start + length, channel, pitch);
    }
    track.endOfTrack(tempoCount * kSectionTicks + 1920);
  }
  return song;
}

struct ConvertedSong {
  explicit ConvertedSong(const MidiBuilder& song, int32_t gridUnit = 0) {
    song.write(path);
    EXPECT_TRUE(app.readMidiFile(path));
    for (const auto& track : app.project.tracks) track->settings.gridUnit = gridUnit;
    buildMeasures(app.project);
    extractAllNotes(app.project, app.diagnostics);
    EXPECT_EQ(layOutAllTracks(app.project), std::nullopt);
    report = settleLayout(app.project, app.diagnostics);
  }

  test::TempDir dir;
  std::string path = dir.file("song.mid");
  Application app;
  SettleReport report;
};

// Layout tick of every event of a track: the running sum of its deltas.
std::vector<int64_t> layoutTicks(const MidiTrack& track) {
  std::vector<int64_t> ticks;
  int64_t tick = 0;
  for (const auto& event : track.events) ticks.push_back(tick += event->delta);
  return ticks;
}

TEST(Conversion, FortyTempoChangesWithControllersInEveryTrackSettleInTwoCycles) {
  ConvertedSong converted(songWithTempoChanges(40, 6));
  EXPECT_TRUE(converted.report.settled());
  EXPECT_EQ(converted.report.cycles, 2);
  // Every section is as long as its longest need and no longer: the held tracks' two sounds of
  // 1920 ticks, 960 after the tempo change and 960 apart, and the gap after the second.
  for (std::size_t i = 1; i < converted.app.project.tempos.size(); ++i) {
    EXPECT_EQ(converted.app.project.tempos[i]->tick - converted.app.project.tempos[i - 1]->tick,
              960 + 1920 + 960 + 1920 + 960)
        << i;
  }
}

TEST(Conversion, WithAGridTheSameSongStillSettles) {
  ConvertedSong converted(songWithTempoChanges(40, 6), 1920);
  EXPECT_TRUE(converted.report.settled());
  EXPECT_LE(converted.report.cycles, 10);
}

// What the rendering file promises the author: nothing out of order, every sound head on its
// track's grid (unless its tempo change pushed it), rendered at least 960 ticks after its tempo
// change, and finished before the next tempo change begins.
void expectLayoutPromises(const Project& project) {
  for (const auto& track : project.tracks) {
    const auto ticks = layoutTicks(*track);
    for (std::size_t i = 0; i < track->events.size(); ++i) {
      const MidiEvent& event = *track->events[i];
      EXPECT_GE(event.delta, 0);
      const auto tempo = event.tempo.lock();
      if (event.isMeta(kMetaTempo)) {
        EXPECT_EQ(ticks[i], tempo->tick);
      }
      const auto note = event.note.lock();
      if (!event.startsNote() || !note || !note->isHead() || !tempo) continue;
      EXPECT_GE(ticks[i], tempo->tick + kTempoClearance);
      const std::size_t next = static_cast<std::size_t>(tempo->index) + 1;
      if (next < project.tempos.size()) {
        EXPECT_LE(ticks[i] + note->duration, project.tempos[next]->tick) << "sound at " << ticks[i];
      }
    }
  }
}

TEST(Conversion, EverySoundIsRenderedUnderItsOwnTempo) {
  ConvertedSong plain(songWithTempoChanges(12, 4));
  ASSERT_TRUE(plain.report.settled());
  expectLayoutPromises(plain.app.project);
  ConvertedSong gridded(songWithTempoChanges(12, 4), 1920);
  ASSERT_TRUE(gridded.report.settled());
  expectLayoutPromises(gridded.app.project);
}

TEST(Conversion, AConductorStartingWithATimeSignatureKeepsEveryDeltaWhole) {
  // The layout gives the conductor's first event, a time signature, the gap of a sound start;
  // the tempo change at 0 behind it must not be pulled back before it. The second tempo change
  // follows the first by what the bass needs there: 960 of clearance and its 480 ticks.
  MidiBuilder song(480);
  song.track().timeSignature(0, 4, 2).tempo(0, 500000).tempo(7680, 400000).endOfTrack(7680);
  song.track()
      .name("Bass")
      .noteOn(0, 0, 40, 100)
      .noteOff(480, 0, 40)
      .noteOn(7680, 0, 41, 100)
      .noteOff(8160, 0, 41)
      .endOfTrack(8160);
  ConvertedSong converted(song);
  ASSERT_TRUE(converted.report.settled());
  expectLayoutPromises(converted.app.project);
  EXPECT_EQ(layoutTicks(*converted.app.project.tracks[0]),
            (std::vector<int64_t>{960, 960, 960 + 1440, 960 + 1440}));
}

TEST(Conversion, ASetTempoEventLaidOutTwiceMovesItsTempoChangeOnlyOnce) {
  // One track carries the tempo changes and the notes, as format 0 files do. The drone holds until
  // after the second tempo change, so the sound that starts under it is postponed, and walking back
  // to it lays the second Set Tempo event out again.
  MidiBuilder song(480, 0);
  song.track()
      .tempo(0, 500000)
      .noteOn(0, 0, 36, 100)
      .noteOn(960, 0, 60, 100)
      .tempo(1920, 400000)
      .noteOff(2400, 0, 60)
      .noteOn(2880, 0, 62, 100)
      .noteOff(3360, 0, 62)
      .noteOff(3840, 0, 36)
      .endOfTrack(3840);
  ConvertedSong converted(song);
  const Project& project = converted.app.project;
  ASSERT_EQ(project.tempos.size(), 2u);
  const Tempo& second = *project.tempos[1];
  const MidiTrack& track = *project.tracks[0];
  std::vector<std::size_t> copies;
  for (std::size_t i = 0; i < track.events.size(); ++i) {
    const MidiEvent& event = *track.events[i];
    if (event.isMeta(kMetaTempo) && event.tempo.lock().get() == &second) copies.push_back(i);
  }
  ASSERT_EQ(copies.size(), 2u);
  ASSERT_EQ(second.event, track.events[copies[1]]);

  EXPECT_TRUE(converted.report.settled());
  EXPECT_LE(converted.report.cycles, 3);
  const auto ticks = layoutTicks(track);
  EXPECT_EQ(ticks[copies[1]], second.tick);
  // The earlier copy keeps the distance it was laid out at from the event before it.
  EXPECT_EQ(track.events[copies[0]]->delta, 1920);
  for (const auto& event : track.events) EXPECT_GE(event->delta, 0);
  // The sounds under the second tempo start clear of it.
  for (std::size_t i = copies[1]; i < track.events.size(); ++i) {
    if (!track.events[i]->startsNote()) continue;
    EXPECT_GE(ticks[i], second.tick + kTempoClearance);
  }
}

TEST(Conversion, ATempoChangeLaidOutTwiceNeverFollowsItself) {
  // The song sets no tempo before its first tempo change, so the postponed sound carries no tempo
  // and the event before the second copy is the first copy's own note-off: the tempo change
  // would find its own record as the one before it.
  MidiBuilder song(480, 0);
  song.track()
      .noteOn(0, 0, 36, 100)
      .noteOn(960, 0, 60, 100)
      .tempo(1920, 400000)
      .noteOff(2400, 0, 60)
      .noteOn(2880, 0, 62, 100)
      .noteOff(3360, 0, 62)
      .noteOff(3840, 0, 36)
      .endOfTrack(3840);
  ConvertedSong converted(song);
  ASSERT_EQ(converted.app.project.tempos.size(), 1u);
  EXPECT_TRUE(converted.report.settled());
  EXPECT_LE(converted.report.cycles, 3);
  const MidiTrack& track = *converted.app.project.tracks[0];
  const Tempo& tempo = *converted.app.project.tempos[0];
  const auto ticks = layoutTicks(track);
  for (std::size_t i = 0; i < track.events.size(); ++i) {
    EXPECT_GE(track.events[i]->delta, 0);
    if (track.events[i] != tempo.event) continue;
    EXPECT_EQ(ticks[i], tempo.tick);
  }
}

TEST(Conversion, ConvertRunsEveryStageOnEnabledTracksOnly) {
  test::TempDir dir;
  const std::string path = dir.file("song.mid");
  songWithTempoChanges(3, 2).write(path);
  Application app;
  ASSERT_TRUE(app.readMidiFile(path));
  app.project.tracks[2]->settings.enabled = false;
  const ConversionReport report = convert(app.project, app.diagnostics);
  EXPECT_TRUE(report.laidOut());
  EXPECT_TRUE(report.retiming.settled());
  EXPECT_FALSE(app.project.measures.empty());
  EXPECT_FALSE(app.project.tracks[1]->originalEvents.empty());
  EXPECT_FALSE(app.project.tracks[1]->notes.empty());
  EXPECT_TRUE(app.project.tracks[2]->originalEvents.empty());
  EXPECT_TRUE(app.project.tracks[2]->notes.empty());
}

TEST(Conversion, TheWrittenLayoutReadsBackAtTheLayoutTicks) {
  ConvertedSong converted(songWithTempoChanges(8, 3), 1920);
  const std::string out = converted.dir.file("song_out.mid");
  Diagnostics quiet;
  ASSERT_TRUE(writeMidiFile(converted.app.project, out, quiet));
  test::exportForInterop(converted.app.project, out);

  Application again;
  ASSERT_TRUE(again.readMidiFile(out));
  ASSERT_EQ(again.project.tracks.size(), converted.app.project.tracks.size());
  for (std::size_t t = 0; t < again.project.tracks.size(); ++t) {
    const MidiTrack& written = *converted.app.project.tracks[t];
    const MidiTrack& read = *again.project.tracks[t];
    ASSERT_EQ(read.events.size(), written.events.size());
    const auto ticks = layoutTicks(written);
    for (std::size_t i = 0; i < read.events.size(); ++i) {
      EXPECT_EQ(read.events[i]->tick, ticks[i]);
      EXPECT_EQ(read.events[i]->status, written.events[i]->status);
      EXPECT_EQ(read.events[i]->data, written.events[i]->data);
    }
  }
}

}  // namespace
}  // namespace rendlow
