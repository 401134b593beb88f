// A sound file of the chart read up front, then lost before it played: the measure fails with
// why, at the end of the pass that lost it, so that no figure is taken from a playback that
// played silence in its place and the song is not played again for nothing.

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

#include "audio/fidelity/chart_mix.h"
#include "audio/fidelity/song_measure.h"
#include "audio/fidelity/stream_comparison.h"
#include "audio_test.h"

namespace rendlow::audio {
namespace {

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

template <class T>
std::optional<Problem> problemOf(const Result<T>& result) {
  return result ? std::nullopt : std::optional(result.problem());
}

// The chart's sounds read up front, then b.wav deleted.
ChartSounds soundsLosingB(const ChartBackground& background, const rendlow::test::TempDir& dir) {
  for (const char* name : {"a.wav", "b.wav"})
    EXPECT_TRUE(builtinBackend().write(
        dir.file(name), test::constant(kRenderSampleRate, 4410, {0.25f, 0.25f}), AudioFileType::Wav));
  ChartSounds sounds =
      ChartSounds::read(background, "chart.bme", dir.path(), kRenderSampleRate, 2, builtinBackend());
  std::remove(dir.file("b.wav").c_str());
  return sounds;
}

// The chart plays a.wav from the start and b.wav at a time of each case; the lag is searched in
// the song's first kLagWindowSeconds and a second on either side, so a b.wav past them is lost only
// when the figures are taken. The song is heard throughout, a second past b.wav. Each case counts
// the passes over the playback, compared with the song's recording and measured against the song.
TEST(LostSound, FailsTheMeasureAfterThePassThatLostIt) {
  for (const auto& [bSeconds, passes] : {std::pair(0.5, 1), std::pair(kLagWindowSeconds + 3, 2)}) {
    for (const bool againstSong : {false, true}) {
      SCOPED_TRACE(std::to_string(bSeconds) + (againstSong ? " against the song" : " against its recording"));
      rendlow::test::TempDir dir;
      const ChartBackground chart{{{1, "a.wav"}, {2, "b.wav"}}, {{0, 1}, {bSeconds, 2}}};
      const ChartSounds sounds = soundsLosingB(chart, dir);
      const Result<std::unique_ptr<ChartMix>> mix = ChartMix::open(chart, sounds);
      ASSERT_TRUE(mix);
      const AudioBuffer reference =
          test::constant(kRenderSampleRate, std::llround((bSeconds + 1) * kRenderSampleRate), {0.1f, 0.1f});
      int passed = 0;
      const auto open = [&]() -> Result<std::unique_ptr<SongStream>> {
        ++passed;
        return std::unique_ptr<SongStream>(std::make_unique<BufferSong>(reference));
      };
      const auto playback = [&] {
        ++passed;
        return (*mix)->stream();
      };
      // The track has no playback of its own; the song's is the whole chart.
      const std::optional<Problem> lost =
          againstSong ? problemOf(measureAgainstSong(open, {nullptr}, mix->get()))
                      : problemOf(compareStreams([&] { return std::make_unique<BufferStream>(reference); },
                                                 playback, kRenderSampleRate, 2));
      ASSERT_TRUE(lost);
      EXPECT_TRUE(test::says(lost->message, "b.wav"));
      EXPECT_EQ(passed, passes);
    }
  }
}

}  // namespace
}  // namespace rendlow::audio
