// A format 0 file comes out as a format 1 file would hold it: a conductor, then one track per
// channel, each with its bookkeeping counted anew. Each case's song as read is kept as text in
// tests/golden/midi.

#include <gtest/gtest.h>

#include "midi/midi_reader.h"
#include "support/midi_builder.h"
#include "support/song_text.h"

namespace rendlow::test {
namespace {

// Channels 1, 2 and 10 in one track: a program change on channel 2 at tick 0 only, notes and a
// controller elsewhere, a system-exclusive event, tempo changes and a time signature.
MidiBuilder threeChannels() {
  MidiBuilder song(480, 0);
  song.track()
      .name("Song")
      .tempoBpm(0, 120)
      .timeSignature(0, 3, 2)
      .noteOn(0, 0, 60, 100)
      .programChange(0, 1, 33)
      .controlChange(0, 9, 7, 100)
      .noteOn(0, 9, 36, 110)
      .sysEx(240, {0x7E, 0x7F, 0x09, 0x01, 0xF7})
      .noteOff(480, 0, 60)
      .noteOn(480, 0, 64, 90)
      .tempoBpm(960, 150)
      .noteOff(960, 9, 36)
      .noteOff(1440, 0, 64)
      .endOfTrack(1920);
  return song;
}

Bytes withoutLastBytes(Bytes bytes, std::size_t count) {
  bytes.resize(bytes.size() - count);
  return bytes;
}

struct Case {
  const char* name;  // of the expectation file
  Bytes file;
};

TEST(ChannelSplit, AFormatZeroSongBecomesAConductorAndATrackPerChannel) {
  MidiBuilder metaOnly(480, 0);
  metaOnly.track().name("Tempo map").tempoBpm(0, 100).tempoBpm(1920, 140).endOfTrack(3840);
  const Case cases[] = {
      {"format0_three_channels", threeChannels().bytes()},
      // Cut inside the last note-off: split after the damage rules, as far as it was read.
      {"format0_cut_short", withoutLastBytes(threeChannels().bytes(), 6)},
      {"format0_without_channel_events", metaOnly.bytes()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RunningStatus running;
    Diagnostics silent;
    const Result<Song> song = readMidiBytes(c.file, running, silent);
    ASSERT_TRUE(song);
    // Every track is numbered and timed afresh: positions, and deltas from the ticks.
    for (const MidiTrack& track : song->tracks) {
      for (std::size_t i = 0; i < track.events.size(); ++i) {
        EXPECT_EQ(track.events[i].index, static_cast<int32_t>(i));
        EXPECT_EQ(track.events[i].delta, track.events[i].tick - (i ? track.events[i - 1].tick : 0));
      }
    }
    expectGolden(describeSong(*song), std::string(RENDLOW_TEST_DATA_DIR) + "/golden/midi/" + c.name + ".txt");
  }
}

}  // namespace
}  // namespace rendlow::test
