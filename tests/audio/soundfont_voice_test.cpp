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

double decibels(double ratio) { return 20 * std::log10(ratio); }

// What the format's shortest stage, -12000 timecents, lasts: a stage left unset takes that long.
const double kShortestStage = std::exp2(-10.0);
// The gain follows the envelope a block late, reaching each block's value at its end.
constexpr double kBlockLag = 64 / kRate;

// The level of a sine of `hertz`, against `full`, over the period around `seconds`.
double levelAround(const std::vector<float>& samples, double seconds, double full, double hertz = 441) {
  const auto period = static_cast<std::size_t>(std::lround(kRate / hertz));
  const auto first = static_cast<std::size_t>(std::lround(seconds * kRate)) - period / 2;
  double sum = 0;
  for (std::size_t i = first; i < first + period; ++i) sum += double(samples[i]) * samples[i];
  return std::sqrt(2 * sum / static_cast<double>(period)) / full;
}

// A note and the channel's volume and expression.
struct Note {
  int key = 60, velocity = 127, volume = 127, expression = 127;
};

struct VoiceCase {
  const char* what;
  Generators generators;
  Note note;
  double cents;            // the pitch against the sample's root key
  double seconds;          // where the level is taken
  double leftDb, rightDb;  // against a centred note at full volume, -100 for silence
  int64_t releaseAt = -1;  // the frame the key is let go
};

TEST(SoundFontVoice, SoundsAtThePitchAndLevelItsSetupChannelAndEnvelopeGive) {
  const SoundFont font = sineFont();
  const double full = kOutputGain * 0.5 * std::sqrt(0.5);
  // 40 log10 of a value's share of 127 for velocity, volume and expression.
  auto curve = [](int value) { return 40 * std::log10(value / 127.0); };
  // An octave and a fifth above the cutoff (441 Hz against 147 Hz) the two poles have fallen 12 dB
  // an octave; without resonance the whole is raised by 1/sqrt(1/sqrt(2)), 1.5 dB.
  const double lowPassDb =
      -10 * std::log10(1 + std::exp2(4 * 1900 / 1200.0)) - 10 * std::log10(std::sqrt(0.5));
  const Generators lowPass{{kFilterCutoff, 1200 * std::log2(441 / 8.176) - 1900}};
  // 100 timecents a key: 12 keys up halves a decay over the whole range from 0.4 s to 0.2 s.
  const Generators keyedDecay{
      {kVolEnvDecay, 1200 * std::log2(0.4)}, {kKeyToVolEnvDecay, 100}, {kVolEnvSustain, 960}};
  const double decayStarts = 3 * kShortestStage + kBlockLag;
  // 0.1 s of attack, 0.05 s of hold, a decay over the whole range of 0.4 s to a sustain 20 dB down,
  // and a release over the whole range of 0.2 s, let go at frame 22080.
  const Generators shaped{{kVolEnvAttack, 1200 * std::log2(0.1)},
                          {kVolEnvHold, 1200 * std::log2(0.05)},
                          {kVolEnvDecay, 1200 * std::log2(0.4)},
                          {kVolEnvSustain, 200},
                          {kVolEnvRelease, 1200 * std::log2(0.2)}};
  const double start = kShortestStage + kBlockLag, letGo = 22080 / kRate + kBlockLag;
  // The sample lasts 2000 frames; let go at frame 4096, a loop to the end goes on through a release
  // of 0.5 s for 96 dB.
  const Generators toTheEnd{{kSampleModes, 1}, {kVolEnvRelease, -1200}};
  const Generators whileHeld{{kSampleModes, 3}, {kVolEnvRelease, -1200}};
  const double afterSample = 3500 / kRate;
  const VoiceCase cases[] = {
      {"the root key", {}, {}, 0, 0.15, 0, 0},
      {"an octave up", {}, {72}, 1200, 0.15, 0, 0},
      {"a fifth down", {}, {53}, -700, 0.15, 0, 0},
      {"coarse and fine tuning", {{kCoarseTune, 2}, {kFineTune, -30}}, {}, 170, 0.15, 0, 0},
      {"an overriding root key", {{kOverridingRootKey, 48}}, {}, 1200, 0.15, 0, 0},
      {"half the scale tuning", {{kScaleTuning, 50}}, {72}, 600, 0.15, 0, 0},
      {"a zone's attenuation (0.4 of it)", {{kInitialAttenuation, 150}}, {}, 0, 0.15, -6, -6},
      {"panned hard right", {{kPan, 500}}, {}, 0, 0.15, -100, 10 * std::log10(2)},
      {"a soft velocity", {}, {60, 64}, 0, 0.15, curve(64), curve(64)},
      {"the channel volume", {}, {60, 127, 100}, 0, 0.15, curve(100), curve(100)},
      {"the expression", {}, {60, 127, 127, 64}, 0, 0.15, curve(64), curve(64)},
      {"the low pass", lowPass, {}, 0, 0.15, lowPassDb, lowPassDb},
      {"a decay shortened by the key", keyedDecay, {72}, 1200, decayStarts + 0.1, -48, -48},
      {"half way up the attack", shaped, {}, 0, start + 0.05, decibels(0.5), decibels(0.5)},
      {"held", shaped, {}, 0, start + 0.12, 0, 0},
      // Falling 96 dB over 0.4 s: 20 dB take 0.0833 s, after the hold ends at 0.15 s.
      {"half way down the decay", shaped, {}, 0, start + 0.15 + 0.4 * 10 / 96, -10, -10},
      {"sustained", shaped, {}, 0, start + 0.4, -20, -20},
      // 0.2 s for 96 dB, so 24 dB a twentieth of a second.
      {"released", shaped, {}, 0, letGo + 0.05, -44, -44, 22080},
      {"no loop", {{kSampleModes, 0}}, {}, 0, afterSample, -100, -100},
      {"a loop while the key is down", whileHeld, {}, 0, afterSample, 0, 0},
      {"a loop to the end", toTheEnd, {}, 0, 4096 / kRate + kBlockLag + 0.05, -9.6, -9.6, 4096},
      {"a loop while the key is down, let go", whileHeld, {}, 0, 7000 / kRate, -100, -100, 4096},
  };
  for (const VoiceCase& c : cases) {
    ChannelState channel;
    channel.control(ChannelState::kVolume, c.note.volume);
    channel.control(ChannelState::kExpression, c.note.expression);
    Voice voice(font, setupWith(font, c.generators), channel, c.note.key, c.note.velocity, kRate);
    const Render out = play(voice, 44100, c.releaseAt);
    const double hertz = 441 * std::exp2(c.cents / 1200);
    EXPECT_NEAR(frequencyOf(std::vector(out.left.begin(), out.left.begin() + 22050), 1000), hertz,
                hertz * 0.001)
        << c.what;
    EXPECT_TRUE(c.releaseAt < 0 || voice.finished()) << c.what;
    for (auto [side, expected] : {std::pair{&out.left, c.leftDb}, std::pair{&out.right, c.rightDb}}) {
      EXPECT_NEAR(std::max(-100.0, decibels(levelAround(*side, c.seconds, full, hertz))), expected, 0.15)
          << c.what;
    }
  }
}

TEST(SoundFontVoice, TheVibratoSwingsThePitchBothWays) {
  const SoundFont font = sineFont();
  const ChannelState channel;
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
