#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <vector>

#include "audio/synth/soundfont/voice.h"
#include "support/case_table.h"
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

// The level of a sine of `hertz`, against `full`, over the period around `seconds`.
double levelAround(const std::vector<float>& samples, double seconds, double full, double hertz) {
  const auto period = static_cast<std::size_t>(std::lround(kRate / hertz));
  const auto first = static_cast<std::size_t>(std::lround(seconds * kRate)) - period / 2;
  double sum = 0;
  for (std::size_t i = first; i < first + period; ++i) sum += double(samples[i]) * samples[i];
  return std::sqrt(2 * sum / static_cast<double>(period)) / full;
}

// "36=-1586.3 40=100" as generators and their values.
Generators generatorsOf(const std::string& column) {
  Generators generators;
  std::istringstream words(column);
  for (std::string word; words >> word;) {
    const std::size_t equals = word.find('=');
    if (equals != std::string::npos)
      generators.emplace_back(static_cast<Generator>(std::stoi(word.substr(0, equals))),
                              std::stod(word.substr(equals + 1)));
  }
  return generators;
}

TEST(SoundFontVoice, SoundsAtThePitchAndLevelItsSetupChannelAndEnvelopeGive) {
  const SoundFont font = sineFont();
  const double full = kOutputGain * 0.5 * std::sqrt(0.5);
  for (const rendlow::test::CaseLine& c : rendlow::test::readCaseTable("audio/data/voice_levels.txt")) {
    SCOPED_TRACE(c.where + " " + c.columns.at(0));
    ASSERT_EQ(c.columns.size(), 8u);
    const std::vector<int64_t> note = rendlow::test::numbersOf(c.columns[2]);
    const int64_t releaseAt = std::stoll(c.columns[7]);
    ChannelState channel;
    channel.control(ChannelState::kVolume, static_cast<int>(note.at(2)));
    channel.control(ChannelState::kExpression, static_cast<int>(note.at(3)));
    Voice voice(font, setupWith(font, generatorsOf(c.columns[1])), channel, static_cast<int>(note.at(0)),
                static_cast<int>(note.at(1)), kRate);
    const Render out = play(voice, 44100, releaseAt);
    const double hertz = 441 * std::exp2(std::stod(c.columns[3]) / 1200);
    EXPECT_NEAR(frequencyOf(std::vector(out.left.begin(), out.left.begin() + 22050), 1000), hertz,
                hertz * 0.001);
    EXPECT_TRUE(releaseAt < 0 || voice.finished());
    for (auto [side, expected] : {std::pair{&out.left, c.columns[5]}, std::pair{&out.right, c.columns[6]}}) {
      const double level = decibels(levelAround(*side, std::stod(c.columns[4]), full, hertz));
      EXPECT_NEAR(std::max(-100.0, level), std::stod(expected), 0.15);
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
