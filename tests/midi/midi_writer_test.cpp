// The rendering MIDI file: variable-length numbers, every kind of event byte for byte, the
// chunk lengths, the refusals, and files that read back as they were written.

#include "midi/midi_writer.h"

#include <gtest/gtest.h>

#include <climits>
#include <sstream>

#include "midi/midi_reader.h"
#include "support/midi_builder.h"
#include "support/song_text.h"

namespace rendlow::test {
namespace {

Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

TEST(WriteVarLen, SplitsIntoSevenBitGroupsMostSignificantFirst) {
  const std::pair<int32_t, Bytes> cases[] = {
      {0, {0x00}},          {127, {0x7F}},
      {128, {0x81, 0x00}},  {255, {0x81, 0x7F}},
      {960, {0x87, 0x40}},  {16383, {0xFF, 0x7F}},
      {16384, {0x81, 0x80, 0x00}},
      {0x0FFFFFFF, {0xFF, 0xFF, 0xFF, 0x7F}},
      {INT32_MAX, {0x87, 0xFF, 0xFF, 0xFF, 0x7F}},
      {-5, {0x7B}},  // a negative value is one byte of its low seven bits
      {INT32_MIN, {0x00}},
  };
  for (const auto& [value, expected] : cases) {
    std::string out = "x";
    EXPECT_EQ(writeVarLen(out, value), static_cast<int>(expected.size())) << value;
    EXPECT_EQ(bytesOf(out.substr(1)), expected) << value;
  }
}

// Songs made by hand, the way a layout leaves them: deltas, kinds and data, nothing else.
class Encode : public ::testing::Test {
protected:
  Encode() { song.header.division = 96; }

  MidiTrack& track(const std::string& name = "") {
    song.tracks.emplace_back().name = name;
    return song.tracks.back();
  }
  void add(MidiTrack& t, int32_t delta, uint8_t status, const Bytes& data, int8_t metaType = -1) {
    MidiEvent& e = t.events.emplace_back();
    e.delta = delta;
    e.status = status;
    e.kind = classifyStatus(status);
    e.metaType = metaType;
    e.length = static_cast<int32_t>(data.size());
    if (isChannelKind(e.kind)) {
      std::copy(data.begin(), data.end(), e.head.begin());
    } else {
      e.dataOffset = song.store(data);
    }
  }
  void end(MidiTrack& t, int32_t delta) { add(t, delta, 0xFF, {}, kMetaEndOfTrack); }

  Result<std::string> encode(const std::vector<std::size_t>& tracks, std::ostream* dump = nullptr) {
    Diagnostics diagnostics(dump);
    return encodeMidiFile(song, tracks, diagnostics);
  }
  // The one chunk's events, after checking that its length counts exactly the bytes that follow.
  Bytes chunkBody() {
    const Bytes file = bytesOf(encode({0}).value());
    const uint32_t length = (uint32_t{file[18]} << 24) | (uint32_t{file[19]} << 16) | (uint32_t{file[20]} << 8) | file[21];
    EXPECT_EQ(length, file.size() - 22);
    return Bytes(file.begin() + 22, file.end());
  }

  Song song;
};

TEST_F(Encode, EveryKindOfEventWithItsStatusByteAndLength) {
  MidiTrack& t = track();
  add(t, 0, 0x93, {0x3C, 0x64});
  add(t, 0, 0x93, {0x40, 0x64});  // no running status
  add(t, 128, 0xC1, {0x05});
  add(t, 0, 0xD1, {0x40});
  add(t, 0, 0xFF, {0x07, 0xA1, 0x20}, kMetaTempo);
  add(t, 0, 0xF0, {0x7E, 0xF7});
  add(t, 0, 0xF7, {0x43});
  add(t, 0, 0xFF, Bytes(200, 'a'), 0x01);
  end(t, 960);
  Bytes expected{0x00, 0x93, 0x3C, 0x64, 0x00, 0x93, 0x40, 0x64, 0x81, 0x00, 0xC1, 0x05, 0x00, 0xD1, 0x40,
                 0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0xF0, 0x02, 0x7E, 0xF7, 0x00, 0xF7, 0x01, 0x43,
                 0x00, 0xFF, 0x01, 0x81, 0x48};
  expected.insert(expected.end(), 200, 'a');
  expected.insert(expected.end(), {0x87, 0x40, 0xFF, 0x2F, 0x00});
  EXPECT_EQ(chunkBody(), expected);
}

// An event of kind None (a data byte read with no running status) is left out; its delta goes
// to the next event written, so that event keeps its time.
TEST_F(Encode, AnEventOfKindNoneIsLeftOutAndItsDeltaGoesToTheNext) {
  MidiTrack& t = track();
  add(t, 10, 0x90, {0x3C, 0x64});
  add(t, 5, 0xFF, {});
  t.events.back().kind = EventKind::None;
  add(t, 7, 0x80, {0x3C, 0x00});
  end(t, 0);
  EXPECT_EQ(chunkBody(), (Bytes{0x0A, 0x90, 0x3C, 0x64, 0x0C, 0x80, 0x3C, 0x00, 0x00, 0xFF, 0x2F, 0x00}));
}

TEST_F(Encode, TheHeaderAndTheGivenTracksInTheGivenOrderWithTheirDump) {
  song.header.division = -1;  // kept as the same 16 bits
  for (const uint8_t note : {0x10, 0x20, 0x30}) {
    MidiTrack& t = track();
    add(t, 0, 0x90, {note, 0x64});
    end(t, 0);
  }
  std::ostringstream dump;
  const Bytes file = bytesOf(encode({2, 0}, &dump).value());
  Bytes expected{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, 0xFF, 0xFF};
  for (const uint8_t note : {0x30, 0x10}) expected.insert(expected.end(), {'M', 'T', 'r', 'k', 0, 0, 0, 8, 0x00, 0x90, note, 0x64, 0x00, 0xFF, 0x2F, 0x00});
  EXPECT_EQ(file, expected);
  EXPECT_EQ(dump.str(), "\n\n90 30 64   FF 2F   \n\n90 10 64   FF 2F   ");
  EXPECT_EQ(bytesOf(encode({}).value()), (Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 0, 0xFF, 0xFF}));
}

// A delta of five variable-length bytes (2^28 on), or a track longer than 2^31 - 1 ticks, would
// be written but never read back: refused, naming the track. A carried delta counts too.
TEST_F(Encode, RefusesTimesNoReaderCouldReadBack) {
  MidiTrack& largest = track("Lead");
  add(largest, 0x0FFFFFFF, 0x90, {0x3C, 0x64});
  end(largest, 0);
  ASSERT_TRUE(encode({0}));
  MidiTrack& carried = track("Pad");
  add(carried, 0x0FFFFFF0, 0xFF, {});
  carried.events.back().kind = EventKind::None;
  add(carried, 0x10, 0x90, {0x3C, 0x64});
  const Result<std::string> tooLong = encode({0, 1});
  ASSERT_FALSE(tooLong);
  EXPECT_EQ(tooLong.problem().message.in(Audience::EnglishConsole).rfind("track 2 \"Pad\" has a gap of 268435456 ticks", 0), 0u);
  MidiTrack& longTrack = track("Long");
  for (int i = 0; i < 9; ++i) add(longTrack, 0x0FFFFFFF, 0xB0, {7, 100});
  const Result<std::string> pastTicks = encode({2});
  ASSERT_FALSE(pastTicks);
  EXPECT_EQ(pastTicks.problem().message.in(Audience::EnglishConsole).rfind("track 3 \"Long\" would last 2415919095 ticks", 0), 0u);
  longTrack.events.pop_back();
  EXPECT_TRUE(encode({2}));
}

// A file read, written and read again holds the same events at the same ticks, every kind.
TEST(MidiRoundTrip, EveryKindOfEventComesBackAsItWasRead) {
  MidiBuilder builder(96);
  builder.track().name("Conductor").tempo(0, 500000).timeSignature(0, 6, 3).meta(0, 0x59, {0xFD, 0x01})
      .tempo(384, 652174).meta(400, 0x01, Bytes(300, 'x')).endOfTrack(768);
  builder.track().name("Keys").useRunningStatus().controlChange(0, 1, 7, 100).programChange(10, 1, 5)
      .noteOn(96, 1, 60, 100).noteOn(96, 1, 64, 90).meta(100, 0x7F, {0x00, 0x20, 0x11})
      .sysEx(120, {0x7E, 0x7F, 0x09, 0x01, 0xF7}).pitchBend(130, 1, 0x2345).noteOff(192, 1, 60, 64)
      .noteOn(200, 1, 64, 0).raw({0x00, 0xA1, 0x3C, 0x10, 0x00, 0xD1, 0x20}).endOfTrack(20000);
  builder.track().name("Pads").timeSignature(0, 4, 2).raw({0x00, 0x40})  // a data byte of kind None
      .noteOn(16384, 2, 48, 1).noteOff(16384 + 128, 2, 48).endOfTrack(16384 + 200);
  RunningStatus running;
  Diagnostics quiet;
  const Song song = readMidiBytes(builder.bytes(), running, quiet).value();
  const std::vector<std::size_t> all{0, 1, 2};
  const std::string file = encodeMidiFile(song, all, quiet).value();
  const Song again = readMidiBytes(bytesOf(file), running, quiet).value();
  EXPECT_EQ(again.header.format, 1);
  EXPECT_EQ(again.header.division, 96);
  ASSERT_EQ(again.tracks.size(), 3u);
  for (std::size_t t = 0; t < 3; ++t) {
    std::string before;
    for (const MidiEvent& e : song.tracks[t].events) {
      if (e.kind != EventKind::None) before += describeEvent(song, e) + "\n";
    }
    std::string after;
    for (const MidiEvent& e : again.tracks[t].events) after += describeEvent(again, e) + "\n";
    EXPECT_EQ(after, before) << "track " << t;
  }
}

}  // namespace
}  // namespace rendlow::test
