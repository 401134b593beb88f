#include <gtest/gtest.h>

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

// A tenth of a second of a sine at half of full scale, looped.
FontSample sine(const char* name, int period) {
  std::vector<int16_t> points = sinePoints(period, 4410 / period, 0.5);
  const auto size = static_cast<uint32_t>(points.size());
  return {name, std::move(points), 0, size, 44100, 60, 0};
}

// Samples told apart by pitch: 441 Hz ("low"), 882 Hz ("high"), 1764 Hz ("top").
// Program 0: "low" below key 64, "high" from it. Program 1: "low" soft, "high" loud (velocity 100
// and up). Bank 1 program 0: "top". Bank 128 program 0: keys 42 and 46 of exclusive class 1
// ("high", "top"), key 36 ("low"), each at its sample's own pitch.
SoundFontBuilder testFont() {
  SoundFontBuilder font;
  font.samples = {sine("low", 100), sine("high", 50), sine("top", 25)};
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

// The pitch heard over the next `frames` frames, from the rising zero crossings of the left channel.
double hertzHeard(Synthesizer& synthesizer, int64_t frames) {
  std::vector<float> out(static_cast<std::size_t>(2 * frames));
  synthesizer.render(frames, out.data());
  int crossings = 0;
  for (std::size_t i = 2; i < out.size(); i += 2) crossings += out[i - 2] < 0 && out[i] >= 0;
  return crossings * 44100.0 / static_cast<double>(frames);
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
    (void)hertzHeard(synthesizer, 4410);
    const double expected = std::stod(c.columns[2]);
    EXPECT_NEAR(hertzHeard(synthesizer, 22050), expected, expected * 0.005) << c.where;
  }
}

TEST(SoundFontChannelState, ResetControllersRestoresTheExpressionButKeepsTheVolume) {
  ChannelState channel;
  for (int controller : {ChannelState::kVolume, ChannelState::kExpression, 121})
    channel.control(controller, 50);
  EXPECT_EQ(channel.controller(ChannelState::kVolume), 50);
  EXPECT_EQ(channel.controller(ChannelState::kExpression), 127);
}

}  // namespace
}  // namespace rendlow::audio::soundfont
