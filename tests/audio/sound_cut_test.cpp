#include "audio/sound_cut.h"

#include <gtest/gtest.h>

namespace rendlow::audio {
namespace {

struct CutCase {
  const char* name;
  AudioBuffer source;
  int64_t start;
  int64_t end;
  std::vector<float> expected;
};

AudioBuffer at1000Hz(int32_t channels, std::vector<float> samples) {
  return {1000, channels, std::move(samples)};
}

std::vector<float> repeated(float value, int count) {
  return std::vector<float>(static_cast<std::size_t>(count), value);
}

std::vector<float> joined(std::vector<float> a, const std::vector<float>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// At 1000 Hz the fade-out is 5 frames: gains 4/5, 3/5, 2/5, 1/5, 0.
TEST(CutSound, StartsExactlyTrimsTheSilentTailAndFadesOut) {
  // -60 dBFS itself is kept; below it, on the way out, is silence.
  const std::vector<float> tail{0.5f, 0.5f, 0.001f, 0.0009f, -0.0009f, 0};
  const std::vector<CutCase> cases{
      {"EndsAtTheNextStart", at1000Hz(1, repeated(0.5f, 20)), 3, 13,
       joined(repeated(0.5f, 5), {0.4f, 0.3f, 0.2f, 0.1f, 0})},
      {"LeadingSilenceKept",
       at1000Hz(1, joined(repeated(0, 3), repeated(0.5f, 10))),
       1,
       10,
       {0, 0, 0.5f, 0.5f, 0.4f, 0.3f, 0.2f, 0.1f, 0}},
      {"TailBelowMinus60dBDropped",
       at1000Hz(1, joined(repeated(0.5f, 4), tail)),
       0,
       10,
       {0.5f, 0.5f, 0.4f, 0.3f, 0.2f, 0.1f, 0}},
      {"SilentOnEveryChannelOnly",
       at1000Hz(2, {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0, 0.002f, 0, 0}),
       0,
       7,
       {0.5f, 0.5f, 0.4f, 0.4f, 0.3f, 0.3f, 0.2f, 0.2f, 0.1f, 0.1f, 0, 0}},
      {"ShorterThanTheFade", at1000Hz(1, repeated(0.6f, 10)), 4, 7, {0.4f, 0.2f, 0}},
      {"EndPastTheSourceClamped", at1000Hz(1, repeated(0.5f, 8)), 2, 50, {0.5f, 0.4f, 0.3f, 0.2f, 0.1f, 0}},
      {"StartPastTheSourceEmpty", at1000Hz(1, repeated(0.5f, 8)), 9, 12, {}},
      {"AllSilentEmpty", at1000Hz(1, repeated(0.0005f, 8)), 0, 8, {}},
  };
  for (const CutCase& c : cases) {
    SCOPED_TRACE(c.name);
    const AudioBuffer cut = cutSound(c.source, c.start, c.end);
    EXPECT_EQ(cut.sampleRate, c.source.sampleRate);
    EXPECT_EQ(cut.channels, c.source.channels);
    ASSERT_EQ(cut.samples.size(), c.expected.size());
    for (std::size_t i = 0; i < c.expected.size(); ++i) EXPECT_NEAR(cut.samples[i], c.expected[i], 1e-7) << i;
  }
}

// 5 ms at 44.1 kHz is 220.5 frames, rounded to 221: the 222nd frame from the end is untouched.
TEST(CutSound, FadeLengthFollowsTheRate) {
  const AudioBuffer cut = cutSound({44100, 1, repeated(0.5f, 300)}, 0, 300);
  ASSERT_EQ(cut.frames(), 300);
  EXPECT_EQ(cut.samples[300 - 222], 0.5f);
  EXPECT_FLOAT_EQ(cut.samples[300 - 221], 0.5f * 220 / 221);
  EXPECT_EQ(cut.samples[299], 0.0f);
}

}  // namespace
}  // namespace rendlow::audio
