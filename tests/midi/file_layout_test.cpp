// MIDI files as other tools lay them out: chunks of other kinds, a longer header, a RIFF MIDI
// file around the song; and a status byte where a data byte belongs, which ends the event it cuts
// short and never reaches the rendering file.

#include <gtest/gtest.h>

#include <sstream>
#include <string_view>

#include "midi/midi_reader.h"
#include "midi/midi_writer.h"
#include "support/case_table.h"
#include "support/midi_builder.h"
#include "support/song_text.h"

namespace rendlow::test {
namespace {

// "'MThd 0006 ..." as bytes: a token after ' is ASCII text, any other holds hexadecimal pairs.
Bytes bytesOf(const std::string& column) {
  Bytes bytes;
  std::istringstream tokens(column);
  for (std::string token; tokens >> token;) {
    if (token.front() == '\'') {
      bytes.insert(bytes.end(), token.begin() + 1, token.end());
      continue;
    }
    for (std::size_t i = 0; i + 1 < token.size(); i += 2)
      bytes.push_back(static_cast<uint8_t>(std::stoi(token.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

// Each track's events on a line, then each damage; or the reason the file was refused.
std::string summaryOf(const Result<Song>& song) {
  if (!song) return "refused: " + song.problem().message.in(Audience::EnglishConsole) + "\n";
  static const char* const kDamage[] = {"TrackCutShort", "NumberTooLong", "TickPastLimit", "NotATrack",
                                        "TracksMissing", "TempoZero",     "DataCutOff"};
  std::string text;
  for (std::size_t t = 0; t < song->tracks.size(); ++t) {
    text += "track " + std::to_string(t + 1) + ":";
    for (const MidiEvent& e : song->tracks[t].events)
      text += (e.index ? " | " : " ") + describeEvent(*song, e);
    text += "\n";
  }
  for (const ReadDamage& d : song->damage) {
    text += std::string("damage ") + kDamage[static_cast<int>(d.kind)] + " track " + std::to_string(d.track);
    text += d.stopsReading() ? "\n" : " tick " + std::to_string(d.tick) + "\n";
  }
  return text;
}

Result<Song> readQuietly(const Bytes& bytes) {
  RunningStatus running;
  Diagnostics quiet;
  return readMidiBytes(bytes, running, quiet);
}

TEST(FileLayout, EveryCaseReadsAsItsTableSays) {
  for (const CaseLine& c : readCaseTable("midi/data/file_layouts.txt")) {
    SCOPED_TRACE(c.where + " " + c.columns.at(0));
    EXPECT_EQ(summaryOf(readQuietly(bytesOf(c.columns.at(1)))), c.expected);
  }
}

// The progress lines name the track and the tick of the event left out.
TEST(FileLayout, AnEventCutShortIsToldWhileReading) {
  RunningStatus running;
  std::ostringstream lines;
  Diagnostics diagnostics(&lines);
  ASSERT_TRUE(
      readMidiBytes(bytesOf("'MThd 00000006 0001 0001 01E0 'MTrk 0000000A 05 90 3C 90 40 40 00 FF2F00"),
                    running, diagnostics));
  EXPECT_EQ(lines.str(),
            "Read Track 1...\nTrack 1 damaged: event at tick 5 cut off by a status byte\nRead Track End\n");
}

// What the writer gets of a track with an event cut short: the events around it, nothing of it.
TEST(FileLayout, AnEventCutShortNeverReachesTheRenderingFile) {
  const Song song =
      readQuietly(bytesOf("'MThd 00000006 0001 0001 01E0 'MTrk 0000000E 00 903C 90 3E40 10 803E00 00 FF2F00"))
          .value();
  TimedEventList events;
  for (const MidiEvent& e : song.tracks.at(0).events) {
    TimedEvent& timed = events.emplace_back();
    static_cast<EventContent&>(timed) = e;
    timed.tick = e.tick;
  }
  const std::vector<TrackToWrite> tracks{{0, events}};
  Diagnostics quiet;
  const std::string file = encodeMidiFile(song, tracks, quiet).value();
  const Bytes track = bytesOf("'MTrk 0000000C 00 903E40 10 803E00 00 FF2F00");
  EXPECT_EQ(Bytes(file.end() - static_cast<std::ptrdiff_t>(track.size()), file.end()), track);
}

}  // namespace
}  // namespace rendlow::test
