#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "audio/synth/soundfont/sound_font_reader.h"
#include "audio/synth/soundfont/synthesizer.h"
#include "support/case_table.h"
#include "support/sound_font_builder.h"

namespace rendlow::audio::soundfont {
namespace {

using rendlow::test::CaseLine;
using rendlow::test::FontHeader;
using rendlow::test::FontSample;
using rendlow::test::FontZone;
using rendlow::test::numbersOf;
using rendlow::test::rangeGenerator;
using rendlow::test::readCaseTable;
using rendlow::test::sinePoints;
using rendlow::test::SoundFontBuilder;

constexpr uint16_t kLooped = 1;

FontSample sine(const char* name, int period, double level) {
  std::vector<int16_t> points = sinePoints(period, 4410 / period, level);
  const auto size = static_cast<uint32_t>(points.size());
  return {name, std::move(points), 0, size, 44100, 60, 0};
}

// Samples told apart by pitch: 441 Hz ("low"), 882 Hz ("high"), 1764 Hz ("top").
// Program 0: "low" below key 64, "high" from it. Program 1: "low" soft, "high" loud (velocity 100
// and up). Bank 1 program 0: "top". Bank 128 program 0: keys 42 and 46 of exclusive class 1
// ("high", "top"), key 36 ("low"), each at its sample's own pitch.
SoundFontBuilder testFont() {
  SoundFontBuilder font;
  font.samples = {sine("low", 100, 0.5), sine("high", 50, 0.5), sine("top", 25, 0.5)};
  auto instrument = [](uint16_t sample) {
    return FontHeader{"i", 0, 0, {{{{kSampleModes, kLooped}, {kSampleId, sample}}, {}}}};
  };
  auto drum = [](uint8_t key, uint16_t sample, uint16_t exclusive) {
    return FontZone{{rangeGenerator(kKeyRange, key, key),
                     {kSampleModes, kLooped},
                     {kExclusiveClass, exclusive},
                     {kOverridingRootKey, key},
                     {kSampleId, sample}},
                    {}};
  };
  font.instruments = {instrument(0),
                      instrument(1),
                      instrument(2),
                      {"kit", 0, 0, {drum(36, 0, 0), drum(42, 1, 1), drum(46, 2, 1)}}};
  auto zone = [](Generator range, uint8_t low, uint8_t high, uint16_t instrument) {
    return FontZone{{rangeGenerator(range, low, high), {kInstrument, instrument}}, {}};
  };
  font.presets = {
      {"split", 0, 0, {zone(kKeyRange, 0, 63, 0), zone(kKeyRange, 64, 127, 1)}},
      {"layers", 1, 0, {zone(kVelocityRange, 0, 99, 0), zone(kVelocityRange, 100, 127, 1)}},
      {"bank one", 0, 1, {zone(kKeyRange, 0, 127, 2)}},
      {"kit", 0, 128, {zone(kKeyRange, 0, 127, 3)}},
  };
  return font;
}

std::shared_ptr<const SoundFont> font() {
  auto read = readSoundFont(testFont().bytes(), "test.sf2");
  EXPECT_TRUE(read.ok());
  return std::make_shared<const SoundFont>(read ? std::move(*read) : SoundFont{});
}

struct Heard {
  double frequency = 0;
  double level = 0;  // root mean square of the left channel
};

// What sounds over the next `frames` frames, its frequency from its rising zero crossings.
Heard listen(Synthesizer& synthesizer, int64_t frames) {
  std::vector<float> out(static_cast<std::size_t>(2 * frames));
  synthesizer.render(frames, out.data());
  Heard heard;
  int crossings = 0;
  double sum = 0;
  for (std::size_t i = 2; i < out.size(); i += 2) {
    if (out[i - 2] < 0 && out[i] >= 0) ++crossings;
    sum += double(out[i]) * out[i];
  }
  heard.frequency = crossings * 44100.0 / static_cast<double>(frames);
  heard.level = std::sqrt(sum / static_cast<double>(frames));
  return heard;
}

TEST(SoundFontSynthesizer, PlaysWhatItsMessagesSelectAndEndsWhatTheyEnd) {
  const auto shared = font();
  for (const CaseLine& c : readCaseTable("audio/data/synthesizer_notes.txt")) {
    Synthesizer synthesizer(shared);
    const std::vector<int64_t> bytes = numbersOf(c.columns[1]);
    for (std::size_t i = 0; i + 2 < bytes.size(); i += 3) {
      synthesizer.apply(static_cast<uint8_t>(bytes[i]), static_cast<uint8_t>(bytes[i + 1]),
                        static_cast<uint8_t>(bytes[i + 2]));
    }
    (void)listen(synthesizer, 4410);
    const double expected = std::stod(c.columns[2]);
    EXPECT_NEAR(listen(synthesizer, 22050).frequency, expected, expected * 0.005) << c.where;
  }
}

// A note of `key` on `channel` held a tenth of a second.
Synthesizer started(uint8_t channel = 0, uint8_t key = 60) {
  Synthesizer synthesizer(font());
  synthesizer.apply(static_cast<uint8_t>(0x90 | channel), key, 100);
  (void)listen(synthesizer, 4410);
  return synthesizer;
}

TEST(SoundFontSynthesizer, AClosedHiHatChokesTheOpenOne) {
  Synthesizer synthesizer = started(9, 46);
  const double open = listen(synthesizer, 4410).level;
  synthesizer.apply(0x99, 42, 100);
  // The choke's fall of 96 dB in 0.89 s has gone 48 dB half a second on.
  (void)listen(synthesizer, 22050);
  const Heard heard = listen(synthesizer, 4410);
  EXPECT_NEAR(heard.frequency, 882, 882 * 0.005) << "the closed hi-hat alone";
  synthesizer.apply(0x89, 42, 0);
  (void)listen(synthesizer, 4410);
  EXPECT_LT(listen(synthesizer, 4410).level, open * std::pow(10.0, -48 / 20.0));
}

TEST(SoundFontSynthesizer, ResetControllersRestoresTheExpressionButKeepsTheVolume) {
  Synthesizer synthesizer = started();
  const double full = listen(synthesizer, 4410).level;
  for (uint8_t controller : {7, 11, 121}) synthesizer.apply(0xB0, controller, 50);
  (void)listen(synthesizer, 128);  // the gain moves to a new value over the block after the change
  EXPECT_NEAR(20 * std::log10(listen(synthesizer, 4410).level / full), 40 * std::log10(50 / 100.0), 0.05);
}

TEST(SoundFontSynthesizer, EachChannelRendersApart) {
  Synthesizer synthesizer = started(0);
  synthesizer.apply(0x99, 42, 100);
  std::vector<std::vector<float>> outputs(16, std::vector<float>(2 * 4410));
  std::array<float*, 16> channels{};
  for (std::size_t i = 0; i < 16; ++i) channels[i] = outputs[i].data();
  synthesizer.renderChannels(4410, channels);
  for (std::size_t channel : {0, 1, 9}) {
    EXPECT_EQ(*std::max_element(outputs[channel].begin(), outputs[channel].end()) > 0.01, channel != 1);
  }
}

}  // namespace
}  // namespace rendlow::audio::soundfont
