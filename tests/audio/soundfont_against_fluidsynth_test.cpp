// The built-in synthesizer against FluidSynth on the short songs of data/fluidsynth_songs.txt,
// same SoundFont, effects off: the short-time spectra of the two renders must lie close.

#include <gtest/gtest.h>

#include <filesystem>

#include "audio/fidelity/frequency_comparison.h"
#include "audio/synth/rendering.h"
#include "support/case_table.h"

namespace rendlow::audio::soundfont {
namespace {

const char* const kSmallSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";
// The log-spectral distance the renders of each song stay within. Layered and stereo-sampled
// instruments (the strings, the pad) still stray most; the piano and the drums lie near 2 dB.
constexpr double kBoundDb = 3.5;

using Track = std::vector<ChannelMessage>;

// The tracks of a column: tracks parted by "/", each message four numbers.
std::vector<Track> songOf(const std::string& column) {
  std::vector<Track> song;
  for (std::size_t from = 0; from <= column.size();) {
    const std::size_t to = std::min(column.find('/', from), column.size());
    const std::vector<int64_t> numbers = rendlow::test::numbersOf(column.substr(from, to - from));
    Track& track = song.emplace_back();
    for (std::size_t i = 0; i + 3 < numbers.size(); i += 4)
      track.push_back({numbers[i], static_cast<uint8_t>(numbers[i + 1]), static_cast<uint8_t>(numbers[i + 2]),
                       static_cast<uint8_t>(numbers[i + 3])});
    from = to + 1;
  }
  return song;
}

double distanceDb(const std::vector<Track>& song) {
  const TempoMap tempo(480, {{0, 500000}});
  const Result<AudioBuffer> fluid = renderSong(song, tempo, kSmallSoundFont);
  const Result<AudioBuffer> builtin = renderSong(song, tempo, kSmallSoundFont, Synth::Builtin);
  EXPECT_TRUE(fluid.ok() && builtin.ok());
  if (!fluid || !builtin) return 1e9;
  AudioBuffer playback = *builtin;
  playback.samples.resize(fluid->samples.size(), 0.0f);
  SpectraComparison comparison(2);
  comparison.add(*fluid, playback);
  return comparison.finish().logSpectralDistanceDb;
}

TEST(SoundFontAgainstFluidSynth, RendersShortSongsAlike) {
  if (!fluidSynthInBuild()) GTEST_SKIP() << "FluidSynth is not in this build";
  if (!std::filesystem::exists(kSmallSoundFont)) GTEST_SKIP() << kSmallSoundFont << " is not installed";
  for (const rendlow::test::CaseLine& c : rendlow::test::readCaseTable("audio/data/fluidsynth_songs.txt")) {
    ASSERT_EQ(c.columns.size(), 2u) << c.where;
    EXPECT_LE(distanceDb(songOf(c.columns[1])), kBoundDb) << c.where << " " << c.columns[0];
  }
}

}  // namespace
}  // namespace rendlow::audio::soundfont
