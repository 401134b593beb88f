// The bundled example song through the four lower layers in the conversion's order, compared
// byte for byte with the rendering MIDI file and the chart committed under tests/golden, which
// the whole job writes from the same song and settings.

#include <gtest/gtest.h>

#include "bms/bms_writer.h"
#include "bms/chart_building.h"
#include "bms/measure_grid.h"
#include "midi/midi_reader.h"
#include "midi/midi_writer.h"
#include "slicer/layout_retiming.h"
#include "slicer/note_extraction.h"
#include "slicer/render_layout.h"
#include "support/midi_builder.h"

namespace rendlow {
namespace {

const std::string kGolden = std::string(RENDLOW_TEST_DATA_DIR) + "/golden/";

// The settings of a listed track (a row), as the settings file records them.
TrackSettings row(const char* name, int32_t velocityWidth, int32_t gridUnit, int32_t split, int32_t threshold,
                  bool ignoreBpm, int32_t ccWidth, int32_t gap) {
  TrackSettings s;
  s.definitionName = name;
  s.velocitySplitWidth = velocityWidth;
  s.gridUnit = gridUnit;
  s.splitMethod = split;
  s.multipleThreshold = threshold;
  s.ignoreBpm = ignoreBpm;
  s.ccSplitWidth = ccWidth;
  s.wavDefinitionGap = gap;
  return s;
}

void expectGolden(const std::string& folder, const std::vector<TrackSettings>& rows, const ChartHeader& header) {
  RunningStatus running;
  Diagnostics quiet;
  const test::Bytes file = test::readBytes(std::string(RENDLOW_SOURCE_DIR) + "/examples/example_song.mid");
  Song song = readMidiBytes(file, running, quiet).value();
  // Track 0 (the conductor) and tracks without content keep the defaults; the rows are the others.
  std::vector<TrackSettings> settings(song.tracks.size());
  std::vector<std::size_t> converted{0};
  for (std::size_t i = 1, r = 0; i < song.tracks.size(); ++i) {
    if (song.tracks[i].hasContent) {
      settings[i] = rows.at(r++);
      converted.push_back(i);
    }
  }
  buildMeasures(song);
  std::vector<SlicedTrack> sliced(song.tracks.size());
  for (std::size_t i = 0; i < song.tracks.size(); ++i) sliced[i] = extractNotes(song.tracks[i], settings[i], song.tempos, quiet);
  for (std::size_t i = 0; i < song.tracks.size(); ++i)
    ASSERT_TRUE(buildRenderLayout(song.tracks[i], static_cast<int32_t>(i), sliced[i], settings[i], song.tempos));
  ASSERT_TRUE(settleLayout(song, sliced, settings, quiet).settled());
  const std::string midi = encodeMidiFile(song, converted, quiet).value();
  EXPECT_TRUE(test::Bytes(midi.begin(), midi.end()) == test::readBytes(kGolden + folder + "/example_song_out.mid"));
  Chart chart;
  int32_t nextWavId = 1;
  for (const std::size_t i : converted)
    chart.chartTracks.push_back(buildChartTrack(song, i, sliced[i], settings[i], chart.chartBpms, nextWavId));
  EXPECT_EQ(formatBmsChart(song, chart, header).value(), test::readText(kGolden + folder + "/example_song_out.bme"));
}

TEST(ExampleSong, WithTheSettingsOfAFreshLoad) {
  expectGolden("default", {row("tr01", 0, 0, 1, 0, false, 0, 2), row("tr02", 0, 0, 1, 0, false, 0, 2), row("tr03", 0, 0, 1, 0, false, 0, 2)},
               {"", "", ""});
}

// Piano: the louder bar its own sounds, on a grid of a bar; lead: legato phrases split by volume
// and pan; drums: every hit its own object, close hits on their own definitions, a wider gap.
TEST(ExampleSong, WithEditedRows) {
  expectGolden("edited", {row("piano", 16, 1920, 1, 0, false, 0, 2), row("lead", 0, 0, 2, 0, true, 32, 2), row("drums", 0, 0, 0, 600, false, 0, 5)},
               {"Demo", "Example Song", "Rendlow"});
}

}  // namespace
}  // namespace rendlow
