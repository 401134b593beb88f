// The bundled example song through the four lower layers in the conversion's order, compared
// byte for byte with the rendering MIDI file and the chart committed under tests/golden, which
// the whole job writes from the same song and settings. The measures come after the re-timing
// here, which changes nothing: they depend on the song's end and time signatures only.

#include <gtest/gtest.h>

#include "bms/bms_writer.h"
#include "bms/chart_building.h"
#include "bms/measure_grid.h"
#include "midi/midi_writer.h"
#include "support/converted_song.h"

namespace rendlow {
namespace {

const std::string kGolden = std::string(RENDLOW_TEST_DATA_DIR) + "/golden/";

// The conductor and the set-up track, whose events all stand at tick 0, keep the defaults; the
// three tracks between them are the rows.
void expectGolden(const std::string& folder, const std::vector<TrackSettings>& rows, const ChartHeader& header) {
  const std::string example = std::string(RENDLOW_SOURCE_DIR) + "/examples/example_song.mid";
  test::ConvertedSong c(test::readBytes(example), {{}, rows[0], rows[1], rows[2], {}});
  ASSERT_TRUE(c.report.settled());
  std::vector<std::size_t> converted;
  for (std::size_t i = 0; i < c.song.tracks.size(); ++i) {
    if (c.song.tracks[i].hasContent) converted.push_back(i);
  }
  ASSERT_EQ(converted, (std::vector<std::size_t>{0, 1, 2, 3}));
  Diagnostics quiet;
  const std::string midi = encodeMidiFile(c.song, converted, quiet).value();
  EXPECT_TRUE(test::Bytes(midi.begin(), midi.end()) == test::readBytes(kGolden + folder + "/example_song_out.mid"));
  buildMeasures(c.song);
  Chart chart;
  int32_t nextWavId = 1;
  for (const std::size_t i : converted)
    chart.chartTracks.push_back(buildChartTrack(c.song, i, c.sliced[i], c.settings[i], chart.chartBpms, nextWavId));
  EXPECT_EQ(formatBmsChart(c.song, chart, header).value(), test::readText(kGolden + folder + "/example_song_out.bme"));
}

// Rows as the settings files beside the golden files record them. In field order: track name,
// definition name, velocity width, controller width, note interval, grid unit, multiple
// threshold, controller interval, split method, tempo ignored, enabled, #WAV gap.
TEST(ExampleSong, WithTheSettingsOfAFreshLoad) {
  expectGolden("default",
               {{"", "tr01", 0, 0, 960, 0, 0, 0, 1, false, true, 2},
                {"", "tr02", 0, 0, 960, 0, 0, 0, 1, false, true, 2},
                {"", "tr03", 0, 0, 960, 0, 0, 0, 1, false, true, 2}},
               {"", "", ""});
}

// Piano: the louder bar its own sounds, on a grid of a bar; lead: legato phrases split by volume
// and pan; drums: every hit its own object, close hits on their own definitions, a wider gap.
TEST(ExampleSong, WithEditedRows) {
  expectGolden("edited",
               {{"", "piano", 16, 0, 960, 1920, 0, 0, 1, false, true, 2},
                {"", "lead", 0, 32, 960, 0, 0, 0, 2, true, true, 2},
                {"", "drums", 0, 0, 960, 0, 600, 0, 0, false, true, 5}},
               {"Demo", "Example Song", "Rendlow"});
}

}  // namespace
}  // namespace rendlow
