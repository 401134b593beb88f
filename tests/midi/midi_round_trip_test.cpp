// Writing a song and reading the file back gives the events the writer was given: every kind,
// in the same order, at the same ticks.

#include <gtest/gtest.h>

#include "midi/midi_writer.h"
#include "read_song.h"
#include "support/interop_export.h"

namespace rendlow {
namespace {

using test::Bytes;
using test::MidiBuilder;
using test::ReadSession;

// The events a written file should hold for a track: all but those of kind None.
std::vector<std::string> writtenEvents(const MidiTrack& track) {
  std::vector<std::string> events;
  for (const auto& event : track.events) {
    if (event->kind != EventKind::None) events.push_back(test::describeEvent(*event));
  }
  return events;
}

// Writes what `original` read, reads the file back, and compares track by track.
void expectRoundTrip(ReadSession& original, std::size_t expectedTracks) {
  test::TempDir dir;
  const std::string path = dir.file("song_out.mid");
  Diagnostics quiet;
  ASSERT_TRUE(writeMidiFile(original.app.project, path, quiet));
  test::exportForInterop(original.app.project, path);

  ReadSession again;
  ASSERT_TRUE(again.read(path));
  EXPECT_EQ(again.app.project.header.format, 1);
  EXPECT_EQ(again.app.project.header.division, original.app.project.header.division);
  ASSERT_EQ(again.app.project.tracks.size(), expectedTracks);
  std::size_t readBack = 0;
  for (const auto& track : original.app.project.tracks) {
    if (!track->hasContent || !track->settings.enabled) continue;
    EXPECT_EQ(writtenEvents(again.track(readBack)), writtenEvents(*track)) << "track " << readBack;
    ++readBack;
  }
}

TEST(MidiRoundTrip, EveryKindOfEventComesBackAsItWasGiven) {
  MidiBuilder song(96);
  song.track()
      .name("Conductor")
      .tempo(0, 500000)
      .timeSignature(0, 6, 3)
      .meta(0, 0x59, {0xFD, 0x01})
      .tempo(384, 652174)
      .meta(400, 0x01, Bytes(300, 'x'))
      .endOfTrack(768);
  song.track()
      .name("Keys")
      .useRunningStatus()
      .controlChange(0, 1, 7, 100)
      .programChange(10, 1, 5)
      .noteOn(96, 1, 60, 100)
      .noteOn(96, 1, 64, 90)
      .meta(100, 0x7F, {0x00, 0x20, 0x11})
      .sysEx(120, {0x7E, 0x7F, 0x09, 0x01, 0xF7})
      .pitchBend(130, 1, 0x2345)
      .noteOff(192, 1, 60, 64)
      .noteOn(200, 1, 64, 0)
      .endOfTrack(20000);
  song.track().name("Pads").meta(0, 0x21, {0x00}).noteOn(16384, 2, 48, 1).noteOff(16384 + 128, 2, 48).endOfTrack(16384 + 200);
  ReadSession original;
  ASSERT_TRUE(original.read(song));
  expectRoundTrip(original, 3);
}

TEST(MidiRoundTrip, AnEventOfKindNoneIsDroppedAndLaterEventsKeepTheirTicks) {
  MidiBuilder song(480);
  // After a meta event a data byte finds no running status: an event of kind None, then the
  // byte is read again as the next delta time (0x40 = 64 ticks).
  song.track()
      .timeSignature(0, 4, 2)
      .raw({0x00, 0x40, 0x91, 0x3C, 0x64})
      .raw({0x83, 0x60, 0x81, 0x3C, 0x00})
      .endOfTrack(0);
  ReadSession original;
  ASSERT_TRUE(original.read(song));
  const auto& events = original.track(0).events;
  ASSERT_EQ(events.size(), 5u);
  ASSERT_EQ(events[1]->kind, EventKind::None);
  EXPECT_EQ(events[2]->tick, 64);
  expectRoundTrip(original, 1);
}

TEST(MidiRoundTrip, TracksWithoutContentOrDisabledAreLeftOut) {
  MidiBuilder song(480);
  song.track().tempo(0, 500000).endOfTrack(0);
  song.track().name("Only at zero").noteOn(0, 0, 60, 100).noteOff(0, 0, 60).endOfTrack(0);
  song.track().name("Off").noteOn(480, 0, 62, 100).noteOff(960, 0, 62).endOfTrack(960);
  song.track().name("On").noteOn(480, 0, 64, 100).noteOff(960, 0, 64).endOfTrack(960);
  ReadSession original;
  ASSERT_TRUE(original.read(song));
  original.app.project.tracks[2]->settings.enabled = false;
  expectRoundTrip(original, 2);
}

}  // namespace
}  // namespace rendlow
