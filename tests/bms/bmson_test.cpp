// The bmson chart: what the ".bme" carries, in pulses that are the song's ticks, in UTF-8 JSON.

#include <gtest/gtest.h>

#include "bms/bmson_writer.h"
#include "support/midi_builder.h"

namespace rendlow {
namespace {

const std::string kData = RENDLOW_TEST_DATA_DIR "/bms/data/";

// A chart of one track placed by hand: objects at ticks, ids from 1.
struct HandBmson {
  HandBmson() {
    song.header.division = 480;
    grid.measures = {{0, 0, 1920}, {1, 1920, 1440}};
    chart.tracks.push_back({.track = 1, .firstWav = 1, .notes = {}, .definitionName = "piano"});
  }
  void note(int32_t wav, int32_t tick, int32_t file) {
    chart.tracks.back().notes.push_back({{tick, 0, 0, 1}, wav, file, 0});
    chart.tracks.back().maxDefinition = std::max(chart.tracks.back().maxDefinition, wav - 1);
  }
  std::string text() const { return formatBmsonChart(song, grid, chart, header); }

  Song song;
  MeasureGrid grid;
  Chart chart;
  ChartHeader header;
};

TEST(BmsonWriter, WritesEveryIdAsAChannelAtItsTicksWithTheTemposUnrounded) {
  HandBmson c;
  c.song.tempos = {{.microseconds = 500000, .tick = 0, .index = 0}, {.microseconds = 456789, .tick = 960, .index = 1}};
  c.chart.tempos = {{{960, 0, 1, 2}, 131.35f, 1}, {{0, 0, 0, 1}, 120.0f, 0}};  // read order, not time order
  c.note(1, 0, 1);
  c.note(2, 480, 3);
  c.note(1, 1920, 1);
  c.note(4, 2400, 3);  // a copy of sound 3 under an id of its own; id 3 has no object
  c.header = {"Pop", "\x83\x4d\x83\x5e\x81\x5b \"live\"\\", "A\tB"};
  test::expectGolden(c.text(), kData + "hand_bmson.json");
}

// Bytes that form no character of code page 932 still give valid UTF-8, each marked.
TEST(BmsonWriter, TextsThatAreNotCodePage932AreMarkedNotDropped) {
  const std::pair<std::string, std::string> cases[] = {  // title, as written
      {"caf\xE9", "caf\xEF\xBF\xBD"},  // Latin-1
      {"a\x83", "a\xEF\xBF\xBD"},      // a lead byte at the end
      {"\x82\xA0!", "\xE3\x81\x82!"},  // a whole character
  };
  for (const auto& [title, json] : cases) {
    HandBmson chart;
    chart.header.title = title;
    EXPECT_NE(chart.text().find("\"title\": \"" + json + "\",\n"), std::string::npos) << title;
  }
}

TEST(BmsonWriter, ASongWithoutTempoStartsAtTheMidiDefault) {
  test::expectGolden(HandBmson().text(), kData + "empty_bmson.json");
}

}  // namespace
}  // namespace rendlow
