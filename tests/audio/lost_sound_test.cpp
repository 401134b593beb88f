// A sound file of the chart read up front, then lost before it played: the measure fails with
// why, at the end of the pass that lost it, so that no figure is taken from a playback that
// played silence in its place and the song is not played again for nothing.

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "audio/fidelity/chart_mix.h"
#include "audio/fidelity/song_measure.h"
#include "audio/fidelity/stream_comparison.h"
#include "audio_test.h"

namespace rendlow::audio {
namespace {

AudioBuffer constant(int64_t frames, float value) {
  return AudioBuffer{kRenderSampleRate, 2, std::vector<float>(static_cast<std::size_t>(2 * frames), value)};
}

// The song as one track that plays `sound` and is then silent.
class BufferSong : public SongStream {
public:
  explicit BufferSong(const AudioBuffer& sound) : track_(sound) {}
  bool next(int64_t frames, std::vector<AudioBuffer>& tracks, AudioBuffer& sum) override {
    sum = track_.next(frames);
    tracks = {sum};
    return sum.frames() > 0;
  }

private:
  BufferStream track_;
};

// The chart plays a.wav from the start and b.wav at a time of each case; the lag is searched in
// the song's first kLagWindowSeconds and a second on either side, so a b.wav past them is lost only
// when the figures are taken. Each case counts the passes over the playback.
class LostSound : public testing::Test {
protected:
  struct Case {
    double bSeconds;
    int passes;
  };
  const std::vector<Case> cases_{{0.5, 1}, {kLagWindowSeconds + 3, 2}};

  // The chart's sounds read up front, then b.wav deleted.
  ChartSounds soundsLosingB(const ChartBackground& background) {
    for (const char* name : {"a.wav", "b.wav"})
      EXPECT_TRUE(builtinBackend().write(dir_.file(name), constant(4410, 0.25f), AudioFileType::Wav));
    ChartSounds sounds =
        ChartSounds::read(background, "chart.bme", dir_.path(), kRenderSampleRate, 2, builtinBackend());
    std::remove(dir_.file("b.wav").c_str());
    return sounds;
  }

  static ChartBackground background(double bSeconds) {
    return {{{1, "a.wav"}, {2, "b.wav"}}, {{0, 1}, {bSeconds, 2}}};
  }
  // The song the playback is measured against, heard throughout, a second past b.wav.
  static AudioBuffer song(double bSeconds) {
    return constant(std::llround((bSeconds + 1) * kRenderSampleRate), 0.1f);
  }

  static testing::AssertionResult lostB(const Problem& problem) {
    return test::says(problem.message, "b.wav");
  }

  rendlow::test::TempDir dir_;
};

TEST_F(LostSound, FailsTheComparisonOfAPlaybackAfterThePassThatLostIt) {
  for (const Case& c : cases_) {
    const ChartBackground chart = background(c.bSeconds);
    const ChartSounds sounds = soundsLosingB(chart);
    const Result<std::unique_ptr<ChartMix>> mix = ChartMix::open(chart, sounds);
    ASSERT_TRUE(mix);
    const AudioBuffer reference = song(c.bSeconds);
    int passes = 0;
    const Result<FidelityFigures> figures =
        compareStreams([&] { return std::make_unique<BufferStream>(reference); },
                       [&] {
                         ++passes;
                         return (*mix)->stream();
                       },
                       kRenderSampleRate, 2);
    ASSERT_FALSE(figures) << c.bSeconds;
    EXPECT_TRUE(lostB(figures.problem()));
    EXPECT_EQ(passes, c.passes) << c.bSeconds;
  }
}

TEST_F(LostSound, FailsTheMeasureAgainstTheSongAfterThePassThatLostIt) {
  for (const Case& c : cases_) {
    const ChartBackground chart = background(c.bSeconds);
    const ChartSounds sounds = soundsLosingB(chart);
    const Result<std::unique_ptr<ChartMix>> mix = ChartMix::open(chart, sounds);
    ASSERT_TRUE(mix);
    const AudioBuffer reference = song(c.bSeconds);
    int passes = 0;
    const auto open = [&]() -> Result<std::unique_ptr<SongStream>> {
      ++passes;
      return std::unique_ptr<SongStream>(std::make_unique<BufferSong>(reference));
    };
    // The track has no playback of its own; the song's is the whole chart.
    const Result<SongMeasures> measures = measureAgainstSong(open, {nullptr}, mix->get());
    ASSERT_FALSE(measures) << c.bSeconds;
    EXPECT_TRUE(lostB(measures.problem()));
    EXPECT_EQ(passes, c.passes) << c.bSeconds;
  }
}

}  // namespace
}  // namespace rendlow::audio
