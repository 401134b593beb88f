// Standard MIDI Files read and written. Reading: status classification, the read-order scan and
// its quick index, progress lines, running status, per-track bookkeeping, names, tempo links,
// format 0 files split by channel, damaged files, and files that cannot be read at all. Writing
// the rendering file: variable-length numbers written and read back, every kind of event byte for
// byte, the chunk lengths and the refusals.

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <random>
#include <sstream>

#include "midi/byte_reader.h"
#include "midi/in_effect_index.h"
#include "midi/midi_reader.h"
#include "midi/midi_writer.h"
#include "support/case_table.h"
#include "support/midi_builder.h"
#include "support/song_text.h"
#include "support/temp_dir.h"

namespace rendlow::test {
namespace {

namespace fs = std::filesystem;

const fs::path kTests(RENDLOW_TEST_DATA_DIR);

// Every status byte, as ranges of one kind.
TEST(ClassifyStatus, EveryStatusByte) {
  std::string ranges;
  for (int status = 0, first = 0; status < 256; ++status) {
    const EventKind kind = classifyStatus(static_cast<uint8_t>(status));
    if (status < 255 && classifyStatus(static_cast<uint8_t>(status + 1)) == kind) continue;
    appendFormatted(ranges, "%02X-%02X %s\n", first, status, kindName(kind));
    first = status + 1;
  }
  expectGolden(ranges, (kTests / "midi/data/status_kinds.txt").string());
}

std::vector<Beat> beatsAt(std::initializer_list<int32_t> ticks) {
  std::vector<Beat> beats;
  for (const int32_t tick : ticks) beats.push_back({static_cast<int32_t>(beats.size()), 4, tick});
  return beats;
}

// The lists are in reading order, not sorted: the scan stops at the first later entry even when
// an entry behind it lies earlier; before the first entry, the first entry.
TEST(BeatAt, ScansInReadingOrder) {
  EXPECT_EQ(beatAt({}, 100), kNone);
  const std::vector<Beat> beats = beatsAt({480, 960, 700});
  const std::pair<int32_t, int32_t> cases[] = {{0, 0}, {479, 0}, {480, 0}, {959, 0}, {960, 2}, {1 << 30, 2}};
  for (const auto& [tick, found] : cases) EXPECT_EQ(beatAt(beats, tick), found) << tick;
}

TEST(InEffectIndex, AgreesWithTheScanOnEveryPrefixOfUnsortedLists) {
  EXPECT_FALSE(InEffectIndex().find(0));
  std::mt19937 random(20261206);
  for (int round = 0; round < 200; ++round) {
    std::uniform_int_distribution<int32_t> tickOf(0, round % 2 ? 50 : 100000);
    std::vector<Beat> list;
    InEffectIndex index;
    for (int entries = 0; entries < 30; ++entries) {
      list.push_back({0, 0, tickOf(random)});
      index.append(list.back().tick);
      for (int ask = 0; ask < 20; ++ask) {
        const int32_t tick = tickOf(random);
        ASSERT_EQ(static_cast<int32_t>(index.find(tick).value()), beatAt(list, tick)) << "tick " << tick;
      }
    }
  }
}

// A song as read, as text: whether it was read, every progress line, and all that the song keeps
// (events, kinds, ticks, links, damage). Every track is numbered and timed afresh too: positions,
// and deltas from the ticks, so the delta after an event left out (a tempo of 0) spans it.
std::string readAsText(const Result<Song>& song, const std::ostringstream& lines) {
  for (const MidiTrack& track : song ? song->tracks : std::vector<MidiTrack>{}) {
    for (std::size_t i = 0; i < track.events.size(); ++i) {
      EXPECT_EQ(track.events[i].index, static_cast<int32_t>(i));
      EXPECT_EQ(track.events[i].delta, track.events[i].tick - (i ? track.events[i - 1].tick : 0));
    }
  }
  std::string text = song ? "ok\n" : "refused: " + song.problem().message.in(Audience::EnglishConsole) + "\n";
  return text + "== diagnostics\n" + lines.str() + "== song\n" + (song ? describeSong(*song) : "");
}

Result<Song> read(const Bytes& bytes, RunningStatus& running, std::ostringstream* lines = nullptr) {
  Diagnostics diagnostics(lines);
  return readMidiBytes(bytes, running, diagnostics);
}

std::string eventsOf(const Song& song, std::size_t track) {
  std::string text;
  for (const MidiEvent& e : song.tracks.at(track).events) text += describeEvent(song, e) + "\n";
  return text;
}

// Running status belongs to whoever reads: a file cut off after a channel event leaves its status
// for the next file read with the same running status.
TEST(RunningStatus, OutlivesTheFileItCameFrom) {
  MidiBuilder cut;
  cut.track().noteOn(0, 3, 60, 100);
  MidiBuilder next;
  next.track().raw({0x00, 0x40, 0x64, 0x00, 0xFF, 0x2F, 0x00});
  RunningStatus running, fresh;
  ASSERT_TRUE(read(cut.bytes(), running));
  EXPECT_EQ(eventsOf(read(next.bytes(), running).value(), 0), "0 NoteOn 93 [2] 40 64 voice=0\n0 Meta FF/2F [0]\n");
  EXPECT_EQ(eventsOf(read(next.bytes(), fresh).value(), 0),
            "0 None 00 [0]\n64 None 00 [0]\n164 None 00 [0]\n164 Meta FF/2F [0]\n");
}

// The names of a folder's files with the given extension.
std::vector<std::string> stems(const fs::path& folder, const std::string& extension) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.path().extension() == extension) names.push_back(entry.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Every MIDI file of `folder`, read with a fresh running status, as its expectation in
// `expectations` holds it; every file has its expectation and no more.
void expectEveryFileAsItsExpectation(const fs::path& folder, const fs::path& expectations, std::size_t count) {
  ASSERT_EQ(stems(expectations, ".txt"), stems(folder, ".mid"));
  EXPECT_EQ(stems(folder, ".mid").size(), count);
  for (const std::string& name : stems(folder, ".mid")) {
    SCOPED_TRACE(name);
    std::ostringstream lines;
    Diagnostics diagnostics(&lines);
    RunningStatus running;
    const Result<Song> song = readMidiFile((folder / (name + ".mid")).string(), running, diagnostics);
    expectGolden(readAsText(song, lines), (expectations / (name + ".txt")).string());
  }
}

// Songs that read whole (what each holds: tests/midi/data/README.txt), and headers refused for a
// reason of their own: a format 2 file holds independent songs, and a division with its top bit
// set counts SMPTE frames, named as such.
TEST(ReadMidi, EverySongAsItsGoldenFileHoldsIt) {
  expectEveryFileAsItsExpectation(kTests / "midi/data", kTests / "golden/midi", 13);
}

TEST(DamagedCorpus, KeepsExactlyWhatEachFileHolds) {
  expectEveryFileAsItsExpectation(kTests / "corpus/damaged", kTests / "corpus/damaged-expected", 27);
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

Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

TEST(VarLen, WrittenInSevenBitGroupsAndReadBack) {
  for (const CaseLine& c : readCaseTable("midi/data/variable_lengths.txt")) {
    SCOPED_TRACE(c.where);
    const int64_t value = numbersOf(c.columns.at(0)).at(0);
    const std::vector<int64_t> expected = numbersOf(c.columns.at(1));
    std::string out = "x";
    EXPECT_EQ(writeVarLen(out, static_cast<int32_t>(value)), static_cast<int>(expected.size()));
    const Bytes bytes(expected.begin(), expected.end());
    EXPECT_EQ(Bytes(out.begin() + 1, out.end()), bytes);
    if (value >= 0 && value <= 0x0FFFFFFF) {
      EXPECT_EQ(ByteReader(bytes).readVarLen().value, value);
    }
  }
}

// An event as a layout leaves it, given by its distance from the one before: a status and data;
// `none` makes it a data byte that was read with no running status to apply.
struct Ev {
  int32_t delta;
  uint8_t status;
  Bytes data;
  int8_t metaType = -1;
  bool none = false;
};
const Ev kEnd{0, 0xFF, {}, kMetaEndOfTrack};

// Named tracks of laid-out events, with the song that holds their names and data bytes.
struct Layout {
  Song song;
  std::vector<TimedEventList> tracks;
};

Layout songOf(const std::vector<std::pair<std::string, std::vector<Ev>>>& tracks, uint16_t division = 96) {
  Layout layout;
  Song& song = layout.song;
  song.header.division = division;
  for (const auto& [name, events] : tracks) {
    song.tracks.emplace_back().name = name;
    TimedEventList& laidOut = layout.tracks.emplace_back();
    int64_t tick = 0;
    for (const Ev& ev : events) {
      TimedEvent& e = laidOut.emplace_back();
      e.tick = tick += ev.delta;
      e.length = static_cast<int32_t>(ev.data.size());
      e.status = ev.status;
      e.metaType = ev.metaType;
      e.kind = ev.none ? EventKind::None : classifyStatus(ev.status);
      if (isChannelKind(e.kind)) std::copy(ev.data.begin(), ev.data.end(), e.head.begin());
      if (!isChannelKind(e.kind)) e.dataOffset = song.store(ev.data);
    }
  }
  return layout;
}

Result<std::string> encode(const Layout& layout, const std::vector<std::size_t>& tracks,
                           std::ostream* dump = nullptr) {
  Diagnostics diagnostics(dump);
  std::vector<TrackToWrite> written;
  for (const std::size_t track : tracks) written.push_back({track, layout.tracks[track]});
  return encodeMidiFile(layout.song, written, diagnostics);
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
  // A track the file ended inside of gets its End of Track, after the time of what was left out.
  EXPECT_EQ(chunkBody({{10, 0x90, {0x3C, 0x64}}, {5, 0xFF, {}, -1, true}}),
            (Bytes{0x0A, 0x90, 0x3C, 0x64, 0x05, 0xFF, 0x2F, 0x00}));
  EXPECT_EQ(chunkBody({}), (Bytes{0x00, 0xFF, 0x2F, 0x00}));
}

TEST(Encode, TheHeaderAndTheGivenTracksInTheGivenOrderWithTheirDump) {
  const Layout song = songOf({{"", {{0, 0x90, {0x10, 0x64}}, kEnd}}, {"", {{0, 0x90, {0x20, 0x64}}, kEnd}},
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
  const Layout song = songOf({{"Lead", eightLongest}, {"Pad", {{0x0FFFFFF0, 0xFF, {}, -1, true}, {0x10, 0x90, {60, 1}}}},
                            {"Long", nineLongest}});
  EXPECT_TRUE(encode(song, {0}));
  const auto reason = [&](std::size_t track) {
    return encode(song, {0, track}).problem().message.in(Audience::EnglishConsole);
  };
  EXPECT_EQ(reason(1).rfind("track 2 \"Pad\" has a gap of 268435456 ticks, more than the 268435455", 0), 0u);
  EXPECT_EQ(reason(2).rfind("track 3 \"Long\" would last 2415919095 ticks", 0), 0u);
}

}  // namespace
}  // namespace rendlow::test
