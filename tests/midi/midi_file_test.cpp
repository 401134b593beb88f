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

std::vector<TimeSignature> beatsAt(std::initializer_list<int32_t> ticks) {
  std::vector<TimeSignature> beats;
  for (const int32_t tick : ticks) beats.push_back({static_cast<int32_t>(beats.size()), 4, tick});
  return beats;
}

// The lists are in reading order, not sorted: the scan stops at the first later entry even when
// an entry behind it lies earlier; before the first entry, the first entry.
TEST(BeatAt, ScansInReadingOrder) {
  EXPECT_EQ(timeSignatureAt({}, 100), kNone);
  const std::vector<TimeSignature> beats = beatsAt({480, 960, 700});
  const std::pair<int32_t, int32_t> cases[] = {{0, 0}, {479, 0}, {480, 0}, {959, 0}, {960, 2}, {1 << 30, 2}};
  for (const auto& [tick, found] : cases) EXPECT_EQ(timeSignatureAt(beats, tick), found) << tick;
}

TEST(InEffectIndex, AgreesWithTheScanOnEveryPrefixOfUnsortedLists) {
  EXPECT_FALSE(InEffectIndex().find(0));
  std::mt19937 random(20261206);
  for (int round = 0; round < 200; ++round) {
    std::uniform_int_distribution<int32_t> tickOf(0, round % 2 ? 50 : 100000);
    std::vector<TimeSignature> list;
    InEffectIndex index;
    for (int entries = 0; entries < 30; ++entries) {
      list.push_back({0, 0, tickOf(random)});
      index.append(list.back().tick);
      for (int ask = 0; ask < 20; ++ask) {
        const int32_t tick = tickOf(random);
        ASSERT_EQ(static_cast<int32_t>(index.find(tick).value()), timeSignatureAt(list, tick)) << "tick " << tick;
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
  expectEveryFileAsItsExpectation(kTests / "midi/data", kTests / "golden/midi", 15);
}

TEST(DamagedCorpus, KeepsExactlyWhatEachFileHolds) {
  expectEveryFileAsItsExpectation(kTests / "corpus/damaged", kTests / "corpus/damaged-expected", 28);
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

// Songs read from files and written again with their tracks in the reverse order, as bytes and as
// the writer's dump: every kind of event with its status byte and length (every_kind.mid), events
// of kind None left out with their deltas going to the next event written (running_status.mid),
// and a track the file ended inside given its End of Track after the time of what was left out.
TEST(Encode, ReadSongsWrittenAgainAsTheGoldenTextHoldsThem) {
  std::string text;
  for (const char* name : {"every_kind", "running_status", "ends_after_a_data_byte", "division_32767"}) {
    RunningStatus running;
    const Song song = read(readBytes((kTests / "midi/data" / (name + std::string(".mid"))).string()), running).value();
    std::vector<TimedEventList> events;
    for (const MidiTrack& track : song.tracks) events.push_back(timedEventsOf(track));
    std::vector<TrackToWrite> reversed;
    for (std::size_t t = events.size(); t-- > 0;) reversed.push_back({t, events[t]});
    std::ostringstream dump;
    Diagnostics diagnostics(&dump);
    const std::string file = encodeMidiFile(song, reversed, diagnostics).value();
    text += std::string("== ") + name + "\n";
    for (std::size_t i = 0; i < file.size(); ++i)
      appendFormatted(text, i % 16 == 15 || i + 1 == file.size() ? "%02X\n" : "%02X ", static_cast<uint8_t>(file[i]));
    text += "== dump" + dump.str() + "\n";
  }
  expectGolden(text, (kTests / "midi/data/encoded.txt").string());
}

// A delta of five variable-length bytes (2^28 on), or a track longer than 2^31 - 1 ticks, would
// be written but never read back: refused, naming the track. A carried delta counts too.
TEST(Encode, RefusesTimesNoReaderCouldReadBack) {
  Song song;
  for (const char* name : {"Lead", "Pad", "Long"}) song.tracks.emplace_back().name = name;
  std::vector<TimedEventList> tracks(3);
  const auto add = [&](std::size_t track, int64_t tick, EventKind kind) {
    TimedEvent& e = tracks[track].emplace_back();
    e.tick = tick, e.kind = kind, e.status = 0xB0, e.length = kind == EventKind::None ? 0 : 2;
  };
  for (int64_t longest = 1; longest <= 9; ++longest) {
    if (longest < 9) add(0, longest * 0x0FFFFFFF, EventKind::ControlChange);
    add(2, longest * 0x0FFFFFFF, EventKind::ControlChange);
  }
  add(1, 0x0FFFFFF0, EventKind::None);
  add(1, 0x10000000, EventKind::ControlChange);
  const auto reason = [&](std::size_t track) {
    Diagnostics quiet;
    const std::vector<TrackToWrite> written{{0, tracks[0]}, {track, tracks[track]}};
    const Result<std::string> file = encodeMidiFile(song, written, quiet);
    return file ? "written" : file.problem().message.in(Audience::EnglishConsole);
  };
  EXPECT_EQ(reason(0), "written");
  EXPECT_EQ(reason(1).rfind("track 2 \"Pad\" has a gap of 268435456 ticks, more than the 268435455", 0), 0u);
  EXPECT_EQ(reason(2).rfind("track 3 \"Long\" would last 2415919095 ticks", 0), 0u);
}

}  // namespace
}  // namespace rendlow::test
