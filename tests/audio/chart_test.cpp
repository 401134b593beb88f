#include <gtest/gtest.h>

#include <cstdio>

#include "audio/audio_backend.h"
#include "audio/chart_mix.h"
#include "audio/chart_timeline.h"
#include "audio/fidelity.h"
#include "audio_test.h"

namespace rendlow::audio {
namespace {

// The chart tells, in comments, when each object plays and why.
TEST(ChartTimeline, PlacesEveryBackgroundObjectAtItsTime) {
  Result<ChartTimeline> timeline = readChartTimeline(test::dataFile("tempo_and_three_four.bme"));
  ASSERT_TRUE(timeline);
  const std::vector<std::pair<double, int32_t>> expected{
      {0, 1}, {1, 2}, {2.75, 3}, {3, 4}, {3.5, 5}, {4, 5}, {4 + 1.0 / 3 + 2, 6}, {8 + 1.0 / 3 + 0.5, 1295}};
  ASSERT_EQ(timeline->objects.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_NEAR(timeline->objects[i].seconds, expected[i].first, 1e-12) << i;
    EXPECT_EQ(timeline->objects[i].wavId, expected[i].second) << i;
  }
  EXPECT_EQ(timeline->soundFiles,
            (std::map<int32_t, std::string>{
                {1, "tr01_01.wav"}, {2, "tr01_02.wav"}, {3, "tr02_01.wav"}, {1295, "last one.wav"}}));
}

// As players have it.
TEST(ChartTimeline, AChartWithoutBpmPlaysAt130) {
  EXPECT_DOUBLE_EQ(timelineOf(parseChartText("#00101:01")).objects.at(0).seconds, 4 * 60.0 / 130);
}

AudioBuffer constant(int32_t rate, int64_t frames, std::vector<float> one) {
  AudioBuffer buffer{rate, static_cast<int32_t>(one.size()), {}};
  for (int64_t i = 0; i < frames; ++i) buffer.samples.insert(buffer.samples.end(), one.begin(), one.end());
  return buffer;
}

// The chart plays a.wav, b.wav and a.wav a second apart; the sounds are written for each test.
class ChartMix : public testing::Test {
protected:
  void SetUp() override { writeSound("a.wav", constant(1000, 2500, {0.25f, -0.25f})); }

  void writeSound(const std::string& name, const AudioBuffer& sound) {
    ASSERT_TRUE(builtinBackend().write(dir_.file(name), sound, AudioFileType::Wav));
  }

  Result<AudioBuffer> mix(const AudioBackend& backend = builtinBackend()) {
    return mixChart(*readChartTimeline(chart_), chart_, dir_.path(), 1000, 2, backend);
  }

  const std::string chart_ = test::dataFile("a_b_a.bme");
  rendlow::test::TempDir dir_;
};

// a.wav lasts 2.5 s but is cut off at 2 s by its next object; mono b.wav goes to both channels.
// Played against that mix, the chart is faithful.
TEST_F(ChartMix, PlaysEveryObjectUntilItsIdComesAgain) {
  writeSound("b.wav", constant(1000, 500, {0.5f}));
  AudioBuffer expected = constant(1000, 4500, {0.25f, -0.25f});
  for (std::size_t i = 2 * 1000; i < 2 * 1500; ++i) expected.samples[i] += 0.5f;
  Result<AudioBuffer> mixed = mix();
  ASSERT_TRUE(mixed) << test::english(mixed.problem().message);
  EXPECT_EQ(mixed->samples, expected.samples);
  Result<FidelityFigures> figures = measureChartFidelity(chart_, dir_.path(), expected, builtinBackend(), 0);
  ASSERT_TRUE(figures);
  EXPECT_EQ(figures->lagFrames, 0);
  EXPECT_EQ(figures->waveformSnrDb, std::numeric_limits<double>::infinity());
}

TEST_F(ChartMix, ASoundSavedAsOggIsFoundForItsWavName) {
  if (!defaultBackend().writes(AudioFileType::OggVorbis)) GTEST_SKIP() << "no Ogg Vorbis in this build";
  ASSERT_TRUE(
      defaultBackend().write(dir_.file("b.ogg"), constant(1000, 500, {0.5f}), AudioFileType::OggVorbis));
  Result<AudioBuffer> mixed = mix(defaultBackend());
  ASSERT_TRUE(mixed) << test::english(mixed.problem().message);
  EXPECT_NEAR(mixed->at(1200, 0), 0.75f, 0.05f);
}

TEST_F(ChartMix, RefusesAChartOrSoundsItCannotMixSayingWhich) {
  const std::vector<std::pair<AudioBuffer, const char*>> cases{
      {{}, "A sound file of the chart is missing\nFile: "},
      {constant(2000, 10, {0.5f}), "It is 2000 Hz; the reference is 1000 Hz."},
      {constant(1000, 10, {0.5f, 0.5f, 0.5f}), "It has 3 channels; the reference has 2."},
  };
  for (const auto& [sound, reason] : cases) {
    std::remove(dir_.file("b.wav").c_str());
    if (!sound.samples.empty()) writeSound("b.wav", sound);
    Result<AudioBuffer> mixed = mix();
    ASSERT_FALSE(mixed);
    EXPECT_TRUE(test::says(mixed.problem().message, reason));
    EXPECT_TRUE(test::says(mixed.problem().message, dir_.file("b.wav")));
  }
  const std::string absent = dir_.file("absent.bme");
  Result<FidelityFigures> unread = measureChartFidelity(absent, dir_.path(), {}, builtinBackend(), 0);
  ASSERT_FALSE(unread);
  EXPECT_TRUE(test::says(unread.problem().message, "Could not read the chart\nFile: " + absent));
}

}  // namespace
}  // namespace rendlow::audio
