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
  std::string text;
  for (std::size_t t = 0; t < song->tracks.size(); ++t) {
    text += "track " + std::to_string(t + 1) + ":";
    for (const MidiEvent& e : song->tracks[t].events)
      text += (e.index ? " | " : " ") + describeEvent(*song, e);
    text += "\n";
  }
  for (const ReadDamage& d : song->damage) text += describeDamage(d);
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

// An event cut short is told while reading, by track and tick, and the writer gets the events
// around it, nothing of it.
TEST(FileLayout, AnEventCutShortIsToldAndNeverReachesTheRenderingFile) {
  RunningStatus running;
  std::ostringstream lines;
  Diagnostics diagnostics(&lines);
  const Song song =
      readMidiBytes(
          bytesOf("'MThd 00000006 0001 0001 01E0 'MTrk 0000000E 00 903C 90 3E40 10 803E00 00 FF2F00"),
          running, diagnostics)
          .value();
  EXPECT_EQ(lines.str(),
            "Read Track 1...\nTrack 1 damaged: event at tick 0 cut off by a status byte\nRead Track End\n");
  const TimedEventList events = timedEventsOf(song.tracks.at(0));
  const std::vector<TrackToWrite> tracks{{0, events}};
  Diagnostics quiet;
  const std::string file = encodeMidiFile(song, tracks, quiet).value();
  const Bytes track = bytesOf("'MTrk 0000000C 00 903E40 10 803E00 00 FF2F00");
  EXPECT_EQ(Bytes(file.end() - static_cast<std::ptrdiff_t>(track.size()), file.end()), track);
}

}  // namespace
}  // namespace rendlow::test
