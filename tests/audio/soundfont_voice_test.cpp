#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "audio/synth/soundfont/voice.h"
#include "support/sound_font_builder.h"

namespace rendlow::audio::soundfont {
namespace {

constexpr double kRate = 44100;
constexpr int kPeriod = 100;  // points of the sine: 441 Hz at the sample's rate

// A font of one looped sine at half of full scale, of root key 60.
SoundFont sineFont() {
  SoundFont font;
  font.points = rendlow::test::sinePoints(kPeriod, 20, 0.5);
  font.samples.push_back({"sine", 0, static_cast<uint32_t>(font.points.size()), 0,
                          static_cast<uint32_t>(font.points.size()), 44100, 60, 0, 1});
  return font;
}

using Generators = std::vector<std::pair<Generator, double>>;

VoiceSetup setupWith(const SoundFont& font, Generators generators) {
  VoiceSetup setup{&font.samples[0], generatorDefaults(), defaultModulators()};
  setup.generators[kSampleModes] = 1;
  for (auto [generator, value] : generators) setup.generators[generator] = value;
  return setup;
}

ChannelState loudChannel() {
  ChannelState channel;
  channel.control(ChannelState::kVolume, 127);
  return channel;
}

struct Render {
  std::vector<float> left, right;
};

// The voice's output over `frames` frames, a block of 64 at a time; released at `releaseAt`.
Render play(Voice& voice, int64_t frames, int64_t releaseAt = -1) {
  Render out{std::vector<float>(static_cast<std::size_t>(frames)),
             std::vector<float>(static_cast<std::size_t>(frames))};
  for (int64_t at = 0; at < frames; at += 64) {
    if (at == releaseAt) voice.release();
    const int64_t count = std::min<int64_t>(64, frames - at);
    voice.render(count, out.left.data() + at, out.right.data() + at);
  }
  return out;
}

// The frequency of a steady tone from its rising zero crossings, interpolated between frames.
double frequencyOf(const std::vector<float>& samples, std::size_t from) {
  double first = -1, last = -1;
  int crossings = 0;
  for (std::size_t i = from + 1; i < samples.size(); ++i) {
    if (samples[i - 1] < 0 && samples[i] >= 0) {
      const double at = static_cast<double>(i - 1) + samples[i - 1] / (samples[i - 1] - samples[i]);
      if (first < 0) first = at;
      last = at;
      ++crossings;
    }
  }
  return crossings > 1 ? (crossings - 1) * kRate / (last - first) : 0;
}

double peakOf(const std::vector<float>& samples, std::size_t from, std::size_t to) {
  double peak = 0;
  for (std::size_t i = from; i < to && i < samples.size(); ++i)
    peak = std::max(peak, std::abs(double(samples[i])));
  return peak;
}

double decibels(double ratio) { return 20 * std::log10(ratio); }

// What the format's shortest stage, -12000 timecents, lasts: a stage left unset takes that long.
const double kShortestStage = std::exp2(-10.0);
// The gain follows the envelope a block late, reaching each block's value at its end.
constexpr double kBlockLag = 64 / kRate;

// The level of a sine of one period per 100 frames, against `full`, around `seconds`.
double levelAround(const std::vector<float>& samples, double seconds, double full) {
  const auto middle = static_cast<std::size_t>(std::lround(seconds * kRate));
  double sum = 0;
  for (std::size_t i = middle - kPeriod / 2; i < middle + kPeriod / 2; ++i)
    sum += double(samples[i]) * samples[i];
  return std::sqrt(2 * sum / kPeriod) / full;
}

struct PitchCase {
  const char* what;
  int key;
  Generators generators;
  int bend;
  int bendRange;
  double cents;
};

TEST(SoundFontVoice, PlaysTheSampleAtThePitchOfItsKeyAndTuning) {
  const SoundFont font = sineFont();
  const PitchCase cases[] = {
      {"the root key", 60, {}, 8192, 2, 0},
      {"an octave up", 72, {}, 8192, 2, 1200},
      {"a fifth down", 53, {}, 8192, 2, -700},
      {"coarse and fine tuning", 60, {{kCoarseTune, 2}, {kFineTune, -30}}, 8192, 2, 170},
      {"an overriding root key", 60, {{kOverridingRootKey, 48}}, 8192, 2, 1200},
      {"half the scale tuning", 72, {{kScaleTuning, 50}}, 8192, 2, 600},
      {"bent up by the default range", 60, {}, 16383, 2, 200 * 8191.0 / 8192},
      {"bent down by a range of 12", 60, {}, 0, 12, -1200},
  };
  for (const PitchCase& c : cases) {
    ChannelState channel = loudChannel();
    channel.control(ChannelState::kRpnCoarse, 0);
    channel.control(ChannelState::kRpnFine, 0);
    channel.control(ChannelState::kDataEntry, c.bendRange);
    channel.pitchBend(c.bend);
    Voice voice(font, setupWith(font, c.generators), channel, c.key, 127, kRate);
    const double expected = 441 * std::exp2(c.cents / 1200);
    EXPECT_NEAR(frequencyOf(play(voice, 22050).left, 1000), expected, expected * 0.001) << c.what;
  }
}

TEST(SoundFontVoice, SoundsAtTheLevelOfItsAttenuationAndPan) {
  const SoundFont font = sineFont();
  const ChannelState channel = loudChannel();
  // A zone's attenuation counts for 0.4 of its centibels: 150 of them lower the level 6 dB.
  Voice centred(font, setupWith(font, {{kInitialAttenuation, 150}}), channel, 60, 127, kRate);
  const Render middle = play(centred, 8820);
  const double expected = kOutputGain * 0.5 * std::pow(10.0, -60 / 200.0) * std::sqrt(0.5);
  EXPECT_NEAR(peakOf(middle.left, 4410, 8820), expected, expected * 0.01);
  EXPECT_NEAR(peakOf(middle.right, 4410, 8820), expected, expected * 0.01);

  Voice right(font, setupWith(font, {{kPan, 500}}), channel, 60, 127, kRate);
  const Render panned = play(right, 8820);
  EXPECT_LT(peakOf(panned.left, 4410, 8820), 1e-6);
  EXPECT_NEAR(peakOf(panned.right, 4410, 8820), kOutputGain * 0.5, kOutputGain * 0.5 * 0.01);
}

TEST(SoundFontVoice, VelocityAndChannelVolumeAttenuateAsTheirCurvesSay) {
  const SoundFont font = sineFont();
  ChannelState channel;  // volume 100 by default
  Voice soft(font, setupWith(font, {}), channel, 60, 64, kRate);
  const double full = kOutputGain * 0.5 * std::sqrt(0.5);
  // 40 log10 of each value's share of 127, in decibels.
  const double expectedDb = 40 * std::log10(64 / 127.0) + 40 * std::log10(100 / 127.0);
  EXPECT_NEAR(decibels(peakOf(play(soft, 8820).left, 4410, 8820) / full), expectedDb, 0.1);
}

// 0.1 s of attack, 0.05 s of hold, a decay over the whole range of 0.4 s to a sustain 20 dB down,
// and a release over the whole range of 0.2 s.
Generators shapedEnvelope() {
  return {{kVolEnvAttack, 1200 * std::log2(0.1)},
          {kVolEnvHold, 1200 * std::log2(0.05)},
          {kVolEnvDecay, 1200 * std::log2(0.4)},
          {kVolEnvSustain, 200},
          {kVolEnvRelease, 1200 * std::log2(0.2)}};
}

TEST(SoundFontVoice, ShapesItsVolumeByTheEnvelopesTimes) {
  const SoundFont font = sineFont();
  const ChannelState channel = loudChannel();
  Voice voice(font, setupWith(font, shapedEnvelope()), channel, 60, 127, kRate);
  const Render out = play(voice, 44100, 22080);
  const double full = kOutputGain * 0.5 * std::sqrt(0.5);
  auto levelAt = [&](double seconds) {
    return levelAround(out.left, seconds + kShortestStage + kBlockLag, full);
  };
  EXPECT_NEAR(levelAt(0.05), 0.5, 0.02) << "half way up the attack";
  EXPECT_NEAR(levelAt(0.12), 1.0, 0.01) << "held";
  // Falling 96 dB over 0.4 s: 20 dB take 0.0833 s, after the hold ends at 0.15 s.
  EXPECT_NEAR(decibels(levelAt(0.15 + 0.4 * 10 / 96)), -10, 0.1) << "half way down the decay";
  EXPECT_NEAR(decibels(levelAt(0.4)), -20, 0.1) << "sustained";
  // Released at frame 22080: 0.2 s for 96 dB, so 24 dB a twentieth of a second.
  EXPECT_NEAR(decibels(levelAt(22080 / kRate - kShortestStage + 0.05)), -44, 0.1) << "released";
  EXPECT_TRUE(voice.finished());
}

TEST(SoundFontVoice, KeysAboveMiddleCShortenTheHoldAndDecay) {
  const SoundFont font = sineFont();
  const ChannelState channel = loudChannel();
  // 100 timecents a key: 12 keys up halves the decay over the whole range to 0.2 s.
  Voice voice(
      font,
      setupWith(font,
                {{kVolEnvDecay, 1200 * std::log2(0.4)}, {kKeyToVolEnvDecay, 100}, {kVolEnvSustain, 960}}),
      channel, 72, 127, kRate);
  const Render out = play(voice, 13230);
  const double full = kOutputGain * 0.5 * std::sqrt(0.5);
  const double decayStarts = 3 * kShortestStage + kBlockLag;
  EXPECT_NEAR(decibels(levelAround(out.left, decayStarts + 0.1, full)), -48, 0.1);
}

struct LoopCase {
  const char* what;
  int mode;
  bool soundsAfterTheSample;
  bool soundsAfterRelease;
};

TEST(SoundFontVoice, TakesItsLoopAsItsModeSays) {
  const SoundFont font = sineFont();  // 2000 points: 45 ms
  const ChannelState channel = loudChannel();
  const LoopCase cases[] = {
      {"no loop", 0, false, false},
      {"a loop to the end", 1, true, true},
      {"a loop while the key is down", 3, true, false},
  };
  for (const LoopCase& c : cases) {
    Voice voice(font, setupWith(font, {{kSampleModes, c.mode}, {kVolEnvRelease, 0}}), channel, 60, 127,
                kRate);
    const Render out = play(voice, 8192, 4096);
    EXPECT_EQ(peakOf(out.left, 3000, 4000) > 0.01, c.soundsAfterTheSample) << c.what;
    EXPECT_EQ(peakOf(out.left, 4096 + 2200, 8192) > 0.01, c.soundsAfterRelease) << c.what;
  }
}

TEST(SoundFontVoice, TheLowPassLowersWhatLiesAboveItsCutoff) {
  const SoundFont font = sineFont();
  const ChannelState channel = loudChannel();
  // An octave and a fifth above the cutoff (441 Hz against 147 Hz) the two poles have fallen 12 dB
  // an octave; without resonance the whole is raised by 1/sqrt(1/sqrt(2)), 1.5 dB.
  const double cutoffCents = 1200 * std::log2(441 / 8.176) - 1900;
  Voice voice(font, setupWith(font, {{kFilterCutoff, cutoffCents}}), channel, 60, 127, kRate);
  const double full = kOutputGain * 0.5 * std::sqrt(0.5);
  const double ratio = std::exp2(1900 / 1200.0);
  const double raised = -10 * std::log10(std::sqrt(0.5));
  EXPECT_NEAR(decibels(peakOf(play(voice, 8820).left, 4410, 8820) / full),
              -10 * std::log10(1 + std::pow(ratio, 4)) + raised, 0.1);
}

TEST(SoundFontVoice, TheVibratoSwingsThePitchBothWays) {
  const SoundFont font = sineFont();
  const ChannelState channel = loudChannel();
  // 2 Hz, 100 cents deep: a quarter of a period (0.125 s) in, the pitch is a semitone up.
  const double twoHertz = 1200 * std::log2(2 / 8.176);
  Voice voice(font, setupWith(font, {{kVibLfoFrequency, twoHertz}, {kVibLfoToPitch, 100}}), channel, 60, 127,
              kRate);
  const Render out = play(voice, 44100);
  auto around = [&](double seconds) {
    const auto at = static_cast<std::size_t>(seconds * kRate);
    return frequencyOf(std::vector<float>(out.left.begin() + at - 300, out.left.begin() + at + 300), 0);
  };
  EXPECT_NEAR(around(0.125), 441 * std::exp2(100 / 1200.0), 3);
  EXPECT_NEAR(around(0.375), 441 * std::exp2(-100 / 1200.0), 3);
}

}  // namespace
}  // namespace rendlow::audio::soundfont
