#include "midi/midi_writer.h"

#include <gtest/gtest.h>

#include <climits>
#include <sstream>

#include "app/project.h"
#include "support/interop_export.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"

namespace rendlow {
namespace {

using test::Bytes;

Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

std::shared_ptr<MidiEvent> event(int32_t delta, uint8_t status, Bytes data, int32_t metaType = -1) {
  auto e = std::make_shared<MidiEvent>();
  e->delta = delta;
  e->status = status;
  e->kind = classifyStatus(status);
  e->metaType = metaType;
  e->data = std::move(data);
  e->length = static_cast<int32_t>(e->data.size());
  return e;
}

std::shared_ptr<MidiEvent> endOfTrack(int32_t delta) { return event(delta, 0xFF, {}, kMetaEndOfTrack); }

// A track written on its own: the bytes of its chunk after "MTrk" and the length.
MidiTrack trackOf(std::initializer_list<std::shared_ptr<MidiEvent>> events) {
  MidiTrack track;
  track.hasContent = true;
  for (const auto& e : events) track.events.push_back(e);
  return track;
}

Bytes chunkBody(const std::initializer_list<std::shared_ptr<MidiEvent>>& events) {
  Project project;
  project.tracks.push_back(std::make_shared<MidiTrack>(trackOf(events)));
  Diagnostics quiet;
  const Bytes file = bytesOf(encodeMidiFile(project, quiet));
  const uint32_t length =
      (uint32_t{file[18]} << 24) | (uint32_t{file[19]} << 16) | (uint32_t{file[20]} << 8) | file[21];
  EXPECT_EQ(length, file.size() - 22) << "the chunk length counts exactly the bytes that follow";
  return Bytes(file.begin() + 22, file.end());
}

Bytes varLen(int32_t value) {
  std::string out;
  const int written = writeVarLen(out, value);
  EXPECT_EQ(static_cast<std::size_t>(written), out.size());
  return bytesOf(out);
}

TEST(WriteVarLen, SplitsIntoSevenBitGroupsMostSignificantFirst) {
  EXPECT_EQ(varLen(0), (Bytes{0x00}));
  EXPECT_EQ(varLen(127), (Bytes{0x7F}));
  EXPECT_EQ(varLen(128), (Bytes{0x81, 0x00}));
  EXPECT_EQ(varLen(960), (Bytes{0x87, 0x40}));
  EXPECT_EQ(varLen(16384), (Bytes{0x81, 0x80, 0x00}));
  EXPECT_EQ(varLen(0x0FFFFFFF), (Bytes{0xFF, 0xFF, 0xFF, 0x7F}));
  EXPECT_EQ(varLen(INT32_MAX), (Bytes{0x87, 0xFF, 0xFF, 0xFF, 0x7F}));
}

TEST(WriteVarLen, ANegativeValueIsOneByteOfItsLowSevenBits) {
  EXPECT_EQ(varLen(-5), (Bytes{0x7B}));
  EXPECT_EQ(varLen(INT32_MIN), (Bytes{0x00}));
}

TEST(WriteEvent, ChannelEventsAlwaysCarryTheirStatusByte) {
  EXPECT_EQ(chunkBody({event(0, 0x93, {0x3C, 0x64})}), (Bytes{0x00, 0x93, 0x3C, 0x64}));
  EXPECT_EQ(chunkBody({event(0, 0x90, {0x3C, 0x64}), event(0, 0x90, {0x40, 0x64})}),
            (Bytes{0x00, 0x90, 0x3C, 0x64, 0x00, 0x90, 0x40, 0x64}));
  EXPECT_EQ(chunkBody({event(0, 0xC1, {0x05}), event(128, 0xD1, {0x40})}),
            (Bytes{0x00, 0xC1, 0x05, 0x81, 0x00, 0xD1, 0x40}));
}

TEST(WriteEvent, EndOfTrackIsTypeAndAZeroLength) {
  EXPECT_EQ(chunkBody({endOfTrack(960)}), (Bytes{0x87, 0x40, 0xFF, 0x2F, 0x00}));
}

TEST(WriteEvent, MetaLengthIsTheDataLength) {
  EXPECT_EQ(chunkBody({event(0, 0xFF, {0x07, 0xA1, 0x20}, kMetaTempo)}),
            (Bytes{0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}));
  EXPECT_EQ(chunkBody({event(0, 0xFF, {0x00, 0x00}, 0x59)}), (Bytes{0x00, 0xFF, 0x59, 0x02, 0x00, 0x00}));
  Bytes longText(200, 'a');
  Bytes expected{0x00, 0xFF, 0x01, 0x81, 0x48};
  expected.insert(expected.end(), longText.begin(), longText.end());
  EXPECT_EQ(chunkBody({event(0, 0xFF, longText, 0x01)}), expected);
}

TEST(WriteEvent, SystemExclusiveIsWrittenAsRead) {
  EXPECT_EQ(chunkBody({event(0, 0xF0, {0x7E, 0x7F, 0x09, 0x01, 0xF7})}),
            (Bytes{0x00, 0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7}));
  EXPECT_EQ(chunkBody({event(0, 0xF7, {0x43})}), (Bytes{0x00, 0xF7, 0x01, 0x43}));
}

TEST(WriteEvent, AnEventOfKindNoneIsLeftOutAndItsDeltaGoesToTheNext) {
  auto stray = event(5, 0xFF, {});
  stray->kind = EventKind::None;  // a data byte read with no running status to apply
  EXPECT_EQ(chunkBody({event(10, 0x90, {0x3C, 0x64}), stray, event(7, 0x80, {0x3C, 0x00}), endOfTrack(0)}),
            (Bytes{0x0A, 0x90, 0x3C, 0x64, 0x0C, 0x80, 0x3C, 0x00, 0x00, 0xFF, 0x2F, 0x00}));
}

TEST(WriteMidiFile, ASongWithNoWrittenTrackIsAFourteenByteHeader) {
  Project project;
  project.header.division = 480;
  Diagnostics quiet;
  EXPECT_EQ(bytesOf(encodeMidiFile(project, quiet)),
            (Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 0, 0x01, 0xE0}));
}

TEST(WriteMidiFile, WritesEveryTrackWithContentThatIsEnabledInFileOrder) {
  Project project;
  project.header.division = -1;  // kept as the same 16 bits
  const auto add = [&](bool content, bool enabled, uint8_t note) {
    auto track = std::make_shared<MidiTrack>(trackOf({event(0, 0x90, {note, 0x64}), endOfTrack(0)}));
    track->hasContent = content;
    track->settings.enabled = enabled;
    project.tracks.push_back(track);
  };
  add(true, true, 0x10);
  add(false, true, 0x20);
  add(true, false, 0x30);
  add(true, true, 0x40);
  Diagnostics quiet;
  const Bytes chunk{'M', 'T', 'r', 'k', 0, 0, 0, 8, 0x00, 0x90};
  Bytes expected{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, 0xFF, 0xFF};
  for (uint8_t note : {0x10, 0x40}) {
    expected.insert(expected.end(), chunk.begin(), chunk.end());
    expected.insert(expected.end(), {note, 0x64, 0x00, 0xFF, 0x2F, 0x00});
  }
  EXPECT_EQ(bytesOf(encodeMidiFile(project, quiet)), expected);
}

TEST(WriteMidiFile, DumpsEveryEventAndTwoNewlinesPerChunk) {
  Project project;
  auto stray = event(0, 0xFF, {});
  stray->kind = EventKind::None;
  project.tracks.push_back(std::make_shared<MidiTrack>(
      trackOf({event(0, 0xFF, {0x07, 0xA1, 0x20}, kMetaTempo), event(0, 0xF0, {0x7E, 0xF7}), stray,
               event(960, 0x91, {0x3C, 0x64}), endOfTrack(0)})));
  project.tracks.push_back(std::make_shared<MidiTrack>(trackOf({endOfTrack(0)})));
  std::ostringstream dump;
  Diagnostics diagnostics(&dump);
  encodeMidiFile(project, diagnostics);
  EXPECT_EQ(dump.str(), "\n\nFF 51 07 A1 20   F0 7E F7   91 3C 64   FF 2F   \n\nFF 2F   ");
}

TEST(WriteMidiFile, WritesTheFileAndRemembersItsPath) {
  test::TempDir dir;
  Project project;
  project.header.division = 96;
  project.tracks.push_back(
      std::make_shared<MidiTrack>(trackOf({event(0, 0x90, {0x3C, 0x64}), endOfTrack(96)})));
  Diagnostics quiet;
  const std::string path = dir.file("song_out.mid");
  ASSERT_TRUE(writeMidiFile(project, path, quiet));
  test::exportForInterop(project, path);
  EXPECT_EQ(project.outputPath, path);
  EXPECT_EQ(test::readBytes(path), bytesOf(encodeMidiFile(project, quiet)));
}

TEST(WriteMidiFile, AFailedWriteSaysWhyAndKeepsTheOutputPath) {
  test::TempDir dir;
  Project project;
  project.outputPath = "before.mid";
  Diagnostics quiet;
  const WriteStatus status = writeMidiFile(project, dir.file("missing") + "/song_out.mid", quiet);
  EXPECT_FALSE(status);
  EXPECT_FALSE(status.reason.empty());
  EXPECT_EQ(project.outputPath, "before.mid");
}

// A delta needs five variable-length bytes from 2^28 on, which no MIDI reader takes: such a file
// is refused instead of written unreadable. A None event's delta carried to the next counts too.
TEST(WriteMidiFile, RefusesADeltaTooLongForAMidiFile) {
  test::TempDir dir;
  const std::string path = dir.file("song_out.mid");
  Diagnostics quiet;
  Project project;
  project.tracks.push_back(std::make_shared<MidiTrack>(
      trackOf({event(0x0FFFFFFF, 0x90, {0x3C, 0x64}), endOfTrack(0)})));
  ASSERT_TRUE(writeMidiFile(project, path, quiet)) << "the largest four-byte delta is fine";

  project.tracks.push_back(std::make_shared<MidiTrack>(
      trackOf({event(0x0FFFFFF0, 0x00, {}), event(0x10, 0x90, {0x3C, 0x64}), endOfTrack(0)})));
  project.tracks.back()->name = "Pad";
  const Bytes before = test::readBytes(path);
  const WriteStatus status = writeMidiFile(project, path, quiet);
  EXPECT_FALSE(status);
  EXPECT_NE(status.reason.find("268435456"), std::string::npos) << status.reason;
  EXPECT_NE(status.reason.find("Pad"), std::string::npos) << status.reason;
  EXPECT_EQ(test::readBytes(path), before) << "the file that was there stays";
}

// Each delta fits, but together they pass the largest tick a reader can count.
TEST(WriteMidiFile, RefusesATrackLongerThanTicksCanCount) {
  test::TempDir dir;
  Diagnostics quiet;
  Project project;
  project.tracks.push_back(std::make_shared<MidiTrack>(trackOf(
      {event(0x0FFFFFFF, 0x90, {0x3C, 0x64}), event(0x0FFFFFFF, 0x80, {0x3C, 0}), endOfTrack(0x0FFFFFFF)})));
  for (int i = 0; i < 7; ++i) project.tracks.back()->events.push_back(endOfTrack(0x0FFFFFFF));
  const WriteStatus status = writeMidiFile(project, dir.file("long_out.mid"), quiet);
  EXPECT_FALSE(status);
  EXPECT_NE(status.reason.find("2147483647"), std::string::npos) << status.reason;
  EXPECT_TRUE(test::readBytes(dir.file("long_out.mid")).empty());
}

}  // namespace
}  // namespace rendlow
