#include "audio/chart_mix.h"

#include <gtest/gtest.h>

#include "audio/audio_backend.h"
#include "audio/fidelity.h"
#include "support/temp_dir.h"
#include "wav_bytes.h"

namespace rendlow::audio {
namespace {

// At 60 BPM a 4-slot measure puts its objects a second apart: a.wav at 0 s and 2 s, b.wav at 1 s.
const char* const kChart =
    "#BPM 60\r\n#WAV01 a.wav\r\n#WAV02 b.wav\r\n#WAV03 unused.wav\r\n#00001:01020100\r\n#00101:04\r\n";

AudioBuffer constant(int32_t rate, int32_t channels, int64_t frames, std::vector<float> frame) {
  AudioBuffer buffer{rate, channels, {}};
  for (int64_t i = 0; i < frames; ++i)
    buffer.samples.insert(buffer.samples.end(), frame.begin(), frame.end());
  return buffer;
}

class ChartMix : public testing::Test {
protected:
  void SetUp() override { test::writeFile(chartPath(), kChart); }

  std::string chartPath() const { return dir_.file("song.bme"); }

  void writeSound(const std::string& name, const AudioBuffer& sound) {
    ASSERT_TRUE(builtinBackend().write(dir_.file(name), sound, AudioFileType::Wav));
  }

  Result<AudioBuffer> mix() {
    Result<ChartTimeline> timeline = readChartTimeline(chartPath());
    EXPECT_TRUE(timeline);
    return mixChart(*timeline, chartPath(), dir_.path(), 1000, 2, builtinBackend());
  }

  // a.wav lasts 2.5 s but is cut off at 2 s by its next object; mono b.wav goes to both channels.
  AudioBuffer expectedMix() const {
    AudioBuffer expected = constant(1000, 2, 4500, {0.25f, -0.25f});
    for (int64_t frame = 1000; frame < 1500; ++frame) {
      expected.at(frame, 0) += 0.5f;
      expected.at(frame, 1) += 0.5f;
    }
    return expected;
  }

  rendlow::test::TempDir dir_;
};

TEST_F(ChartMix, PlaysEveryObjectUntilItsIdComesAgain) {
  writeSound("a.wav", constant(1000, 2, 2500, {0.25f, -0.25f}));
  writeSound("b.wav", constant(1000, 1, 500, {0.5f}));
  Result<AudioBuffer> mixed = mix();
  ASSERT_TRUE(mixed) << mixed.problem().message.in(Audience::EnglishConsole);
  EXPECT_EQ(mixed->samples, expectedMix().samples);
}

TEST_F(ChartMix, TheChartPlayedAgainstItselfIsFaithful) {
  writeSound("a.wav", constant(1000, 2, 2500, {0.25f, -0.25f}));
  writeSound("b.wav", constant(1000, 1, 500, {0.5f}));
  Result<FidelityFigures> figures =
      measureChartFidelity(chartPath(), dir_.path(), expectedMix(), builtinBackend(), 0);
  ASSERT_TRUE(figures);
  EXPECT_EQ(figures->lagFrames, 0);
  EXPECT_EQ(figures->waveformSnrDb, std::numeric_limits<double>::infinity());
}

TEST_F(ChartMix, ASoundSavedAsOggIsFoundForItsWavName) {
  if (!defaultBackend().writes(AudioFileType::OggVorbis)) GTEST_SKIP() << "no Ogg Vorbis in this build";
  writeSound("a.wav", constant(1000, 2, 2500, {0.25f, -0.25f}));
  ASSERT_TRUE(
      defaultBackend().write(dir_.file("b.ogg"), constant(1000, 1, 500, {0.5f}), AudioFileType::OggVorbis));
  Result<ChartTimeline> timeline = readChartTimeline(chartPath());
  ASSERT_TRUE(timeline);
  Result<AudioBuffer> mixed = mixChart(*timeline, chartPath(), dir_.path(), 1000, 2, defaultBackend());
  ASSERT_TRUE(mixed) << mixed.problem().message.in(Audience::EnglishConsole);
  EXPECT_NEAR(mixed->at(1200, 0), 0.75f, 0.05f);
}

struct RefusedSounds {
  const char* name;
  AudioBuffer b;
  const char* reason;
};

TEST_F(ChartMix, RefusesSoundsItCannotMixSayingWhich) {
  const std::vector<RefusedSounds> cases{
      {"Missing", {}, "A sound file of the chart is missing\nFile: "},
      {"OtherRate", constant(2000, 1, 10, {0.5f}), "It is 2000 Hz; the reference is 1000 Hz."},
      {"OtherChannelCount", constant(1000, 3, 10, {0.5f, 0.5f, 0.5f}),
       "It has 3 channels; the reference has 2."},
  };
  writeSound("a.wav", constant(1000, 2, 10, {0.25f, -0.25f}));
  for (const RefusedSounds& c : cases) {
    SCOPED_TRACE(c.name);
    std::remove(dir_.file("b.wav").c_str());
    if (!c.b.samples.empty()) writeSound("b.wav", c.b);
    Result<AudioBuffer> mixed = mix();
    ASSERT_FALSE(mixed);
    const std::string text = mixed.problem().message.in(Audience::EnglishConsole);
    EXPECT_NE(text.find(c.reason), std::string::npos) << text;
    EXPECT_NE(text.find(dir_.file("b.wav")), std::string::npos) << text;
  }
}

}  // namespace
}  // namespace rendlow::audio
