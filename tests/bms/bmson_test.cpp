// The bmson chart: what the ".bme" carries, in pulses that are the song's ticks, in UTF-8 JSON.

#include <gtest/gtest.h>

#include "bms/bmson_writer.h"

namespace rendlow {
namespace {

// A chart of one track placed by hand: objects at ticks, ids from 1.
struct HandBmson {
  HandBmson() {
    song.header.division = 480;
    grid.measures = {{0, 0, 1920}, {1, 1920, 1440}};
    chart.chartTracks.push_back({.track = 1, .firstWav = 1, .notes = {}, .definitionName = "piano"});
  }
  void note(int32_t wav, int32_t tick, int32_t file) {
    chart.chartTracks.back().notes.push_back({{tick, 0, 0, 1}, wav, file, 0});
    chart.chartTracks.back().maxDefinition = std::max(chart.chartTracks.back().maxDefinition, wav - 1);
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
  c.chart.chartBpms = {{{960, 0, 1, 2}, 131.35f, 1}, {{0, 0, 0, 1}, 120.0f, 0}};  // read order, not time order
  c.note(1, 0, 1);
  c.note(2, 480, 3);
  c.note(1, 1920, 1);
  c.note(4, 2400, 3);  // a copy of sound 3 under an id of its own; id 3 has no object
  c.header = {"Pop", "\x83\x4d\x83\x5e\x81\x5b \"live\"\\", "A\tB"};
  EXPECT_EQ(c.text(),
            "{\n  \"version\": \"1.0.0\",\n  \"info\": {\n"
            "    \"title\": \"\xE3\x82\xAE\xE3\x82\xBF\xE3\x83\xBC \\\"live\\\"\\\\\",\n"
            "    \"artist\": \"A\\u0009B\",\n    \"genre\": \"Pop\",\n    \"mode_hint\": \"beat-7k\",\n"
            "    \"level\": 1,\n    \"init_bpm\": 120,\n    \"judge_rank\": 100,\n    \"total\": 100,\n"
            "    \"resolution\": 480\n  },\n"
            "  \"lines\": [\n    {\"y\": 0},\n    {\"y\": 1920}\n  ],\n"
            "  \"bpm_events\": [\n    {\"y\": 960, \"bpm\": 131.35167440546948}\n  ],\n"
            "  \"stop_events\": [],\n"
            "  \"sound_channels\": [\n"
            "    {\n      \"name\": \"piano_01.wav\",\n      \"notes\": [\n"
            "        {\"x\": 0, \"y\": 0, \"l\": 0, \"c\": false},\n"
            "        {\"x\": 0, \"y\": 1920, \"l\": 0, \"c\": false}\n      ]\n    },\n"
            "    {\n      \"name\": \"piano_03.wav\",\n      \"notes\": [\n"
            "        {\"x\": 0, \"y\": 480, \"l\": 0, \"c\": false}\n      ]\n    },\n"
            "    {\n      \"name\": \"piano_03.wav\",\n      \"notes\": [\n"
            "        {\"x\": 0, \"y\": 2400, \"l\": 0, \"c\": false}\n      ]\n    }\n  ],\n"
            "  \"bga\": {\"bga_header\": [], \"bga_events\": [], \"layer_events\": [], \"poor_events\": []}\n}\n");
}

// Bytes that form no character of code page 932 still give valid UTF-8, each marked.
TEST(BmsonWriter, TextsThatAreNotCodePage932AreMarkedNotDropped) {
  struct Case {
    std::string title;
    std::string json;
  };
  const Case cases[] = {
      {"caf\xE9", "caf\xEF\xBF\xBD"},  // Latin-1
      {"a\x83", "a\xEF\xBF\xBD"},      // a lead byte at the end
      {"\x82\xA0!", "\xE3\x81\x82!"},  // a whole character
  };
  for (const Case& c : cases) {
    HandBmson chart;
    chart.header.title = c.title;
    EXPECT_NE(chart.text().find("\"title\": \"" + c.json + "\",\n"), std::string::npos) << c.title;
  }
}

TEST(BmsonWriter, ASongWithoutTempoStartsAtTheMidiDefault) {
  HandBmson c;
  EXPECT_NE(c.text().find("\"init_bpm\": 120,"), std::string::npos);
  EXPECT_NE(c.text().find("\"bpm_events\": [],"), std::string::npos);
  EXPECT_NE(c.text().find("\"sound_channels\": [],"), std::string::npos);
}

}  // namespace
}  // namespace rendlow
