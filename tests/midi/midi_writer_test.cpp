// The rendering MIDI file: variable-length numbers written and read, every kind of event byte for
// byte, the chunk lengths, the refusals, and a file that reads back as it was written.

#include "midi/midi_writer.h"

#include <gtest/gtest.h>

#include <climits>
#include <sstream>

#include "midi/byte_reader.h"
#include "midi/midi_reader.h"
#include "support/midi_builder.h"
#include "support/song_text.h"

namespace rendlow::test {
namespace {

Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

// Written in seven-bit groups, most significant first (a negative value as its low seven bits),
// and read back from at most four bytes.
TEST(VarLen, WrittenInSevenBitGroupsAndReadBackFromAtMostFourBytes) {
  const std::pair<int32_t, Bytes> written[] = {
      {0, {0x00}}, {127, {0x7F}}, {128, {0x81, 0x00}}, {255, {0x81, 0x7F}}, {960, {0x87, 0x40}},
      {16383, {0xFF, 0x7F}}, {16384, {0x81, 0x80, 0x00}}, {0x0FFFFFFF, {0xFF, 0xFF, 0xFF, 0x7F}},
      {INT32_MAX, {0x87, 0xFF, 0xFF, 0xFF, 0x7F}}, {-5, {0x7B}}, {INT32_MIN, {0x00}}};
  for (const auto& [value, expected] : written) {
    std::string out = "x";
    EXPECT_EQ(writeVarLen(out, value), static_cast<int>(expected.size())) << value;
    EXPECT_EQ(bytesOf(out.substr(1)), expected) << value;
    if (value >= 0 && value <= 0x0FFFFFFF) {
      EXPECT_EQ(ByteReader(expected).readVarLen().value, value);
    }
  }
  // Bytes; the value read, whether it was too long, the bytes left.
  const std::tuple<Bytes, int32_t, bool, std::size_t> read[] = {
      {{0x7F, 0x90}, 127, false, 1},
      {{0xFF, 0xFF, 0xFF, 0x7F, 0x00}, 0x0FFFFFFF, false, 1},
      {{0x81, 0x80, 0x80, 0x80, 0x00}, 0x00200000, true, 1},  // a fourth byte with bit 7: nothing more read
      {{0x81, 0x82}, (1 << 7) | 2, false, 0},                 // cut short: what was read
      {{}, -1, false, 0}};
  for (const auto& [bytes, value, tooLong, left] : read) {
    ByteReader reader(bytes);
    const VarLen number = reader.readVarLen();
    EXPECT_EQ(std::tuple(number.value, number.tooLong, reader.remaining()), std::tuple(value, tooLong, left));
  }
}

// An event as a layout leaves it: a delta, a status and data; `none` makes it a data byte that
// was read with no running status to apply.
struct Ev {
  int32_t delta;
  uint8_t status;
  Bytes data;
  int8_t metaType = -1;
  bool none = false;
};
const Ev kEnd{0, 0xFF, {}, kMetaEndOfTrack};

Song songOf(const std::vector<std::pair<std::string, std::vector<Ev>>>& tracks, int16_t division = 96) {
  Song song;
  song.header.division = division;
  for (const auto& [name, events] : tracks) {
    MidiTrack& track = song.tracks.emplace_back();
    track.name = name;
    for (const Ev& ev : events) {
      MidiEvent& e = track.events.emplace_back(MidiEvent{.delta = ev.delta,
                                                         .length = static_cast<int32_t>(ev.data.size()),
                                                         .status = ev.status,
                                                         .metaType = ev.metaType});
      e.kind = ev.none ? EventKind::None : classifyStatus(ev.status);
      if (isChannelKind(e.kind)) std::copy(ev.data.begin(), ev.data.end(), e.head.begin());
      if (!isChannelKind(e.kind)) e.dataOffset = song.store(ev.data);
    }
  }
  return song;
}

Result<std::string> encode(const Song& song, const std::vector<std::size_t>& tracks, std::ostream* dump = nullptr) {
  Diagnostics diagnostics(dump);
  return encodeMidiFile(song, tracks, diagnostics);
}

// The events of a one-track file, after checking that the chunk length counts the bytes that follow.
Bytes chunkBody(const std::vector<Ev>& events) {
  const Bytes file = bytesOf(encode(songOf({{"", events}}), {0}).value());
  EXPECT_EQ((file[18] << 24) | (file[19] << 16) | (file[20] << 8) | file[21], static_cast<int>(file.size()) - 22);
  return Bytes(file.begin() + 22, file.end());
}

TEST(Encode, EveryKindOfEventWithItsStatusByteAndLength) {
  Bytes expected{0x00, 0x93, 0x3C, 0x64, 0x00, 0x93, 0x40, 0x64, 0x81, 0x00, 0xC1, 0x05, 0x00, 0xD1, 0x40,
                 0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0xF0, 0x02, 0x7E, 0xF7, 0x00, 0xF7, 0x01, 0x43,
                 0x00, 0xFF, 0x01, 0x81, 0x48};
  expected.insert(expected.end(), 200, 'a');
  expected.insert(expected.end(), {0x87, 0x40, 0xFF, 0x2F, 0x00});
  EXPECT_EQ(chunkBody({{0, 0x93, {0x3C, 0x64}}, {0, 0x93, {0x40, 0x64}}, {128, 0xC1, {0x05}}, {0, 0xD1, {0x40}},
                       {0, 0xFF, {0x07, 0xA1, 0x20}, kMetaTempo}, {0, 0xF0, {0x7E, 0xF7}}, {0, 0xF7, {0x43}},
                       {0, 0xFF, Bytes(200, 'a'), 0x01}, {960, 0xFF, {}, kMetaEndOfTrack}}),
            expected);
  // An event of kind None is left out; its delta goes to the next event written.
  EXPECT_EQ(chunkBody({{10, 0x90, {0x3C, 0x64}}, {5, 0xFF, {}, -1, true}, {7, 0x80, {0x3C, 0x00}}, kEnd}),
            (Bytes{0x0A, 0x90, 0x3C, 0x64, 0x0C, 0x80, 0x3C, 0x00, 0x00, 0xFF, 0x2F, 0x00}));
}

TEST(Encode, TheHeaderAndTheGivenTracksInTheGivenOrderWithTheirDump) {
  const Song song = songOf({{"", {{0, 0x90, {0x10, 0x64}}, kEnd}}, {"", {{0, 0x90, {0x20, 0x64}}, kEnd}},
                            {"", {{0, 0xF0, {0x7E}}, {0, 0x00, {}, -1, true}, {0, 0x90, {0x30, 0x64}}, kEnd}}},
                           -1);  // a division kept as the same 16 bits
  std::ostringstream dump;
  Bytes expected{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, 0xFF, 0xFF, 'M', 'T', 'r', 'k', 0, 0, 0, 12, 0x00, 0xF0,
                 0x01, 0x7E, 0x00, 0x90, 0x30, 0x64, 0x00, 0xFF, 0x2F, 0x00};
  expected.insert(expected.end(), {'M', 'T', 'r', 'k', 0, 0, 0, 8, 0x00, 0x90, 0x10, 0x64, 0x00, 0xFF, 0x2F, 0x00});
  EXPECT_EQ(bytesOf(encode(song, {2, 0}, &dump).value()), expected);
  EXPECT_EQ(dump.str(), "\n\nF0 7E   90 30 64   FF 2F   \n\n90 10 64   FF 2F   ");
  EXPECT_EQ(bytesOf(encode(song, {}).value()), (Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 0, 0xFF, 0xFF}));
}

// A delta of five variable-length bytes (2^28 on), or a track longer than 2^31 - 1 ticks, would
// be written but never read back: refused, naming the track. A carried delta counts too.
TEST(Encode, RefusesTimesNoReaderCouldReadBack) {
  const std::vector<Ev> eightLongest(8, Ev{0x0FFFFFFF, 0xB0, {7, 100}});
  std::vector<Ev> nineLongest = eightLongest;
  nineLongest.push_back(nineLongest.back());
  const Song song = songOf({{"Lead", eightLongest}, {"Pad", {{0x0FFFFFF0, 0xFF, {}, -1, true}, {0x10, 0x90, {60, 1}}}},
                            {"Long", nineLongest}});
  EXPECT_TRUE(encode(song, {0}));
  const auto reason = [&](std::size_t track) {
    return encode(song, {0, track}).problem().message.in(Audience::EnglishConsole);
  };
  EXPECT_EQ(reason(1).rfind("track 2 \"Pad\" has a gap of 268435456 ticks, more than the 268435455", 0), 0u);
  EXPECT_EQ(reason(2).rfind("track 3 \"Long\" would last 2415919095 ticks", 0), 0u);
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
  const Song again = readMidiBytes(bytesOf(encode(song, {0, 1, 2}).value()), running, quiet).value();
  EXPECT_EQ(again.header.format, 1);
  EXPECT_EQ(again.header.division, 96);
  ASSERT_EQ(again.tracks.size(), 3u);
  for (std::size_t t = 0; t < 3; ++t) {
    std::string before, after;
    for (const MidiEvent& e : song.tracks[t].events)
      before += e.kind == EventKind::None ? "" : describeEvent(song, e) + "\n";
    for (const MidiEvent& e : again.tracks[t].events) after += describeEvent(again, e) + "\n";
    EXPECT_EQ(after, before) << "track " << t;
  }
}

}  // namespace
}  // namespace rendlow::test
