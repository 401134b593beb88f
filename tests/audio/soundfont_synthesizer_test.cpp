#include <gtest/gtest.h>

#include <cmath>

#include "audio/synth/soundfont/sound_font_reader.h"
#include "audio/synth/soundfont/synthesizer.h"
#include "support/sound_font_builder.h"

namespace rendlow::audio::soundfont {
namespace {

using rendlow::test::FontHeader;
using rendlow::test::FontSample;
using rendlow::test::FontZone;
using rendlow::test::rangeGenerator;
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

struct NoteCase {
  const char* what;
  std::vector<std::array<uint8_t, 3>> messages;  // before the note
  uint8_t status;
  uint8_t key;
  uint8_t velocity;
  double frequency;
};

TEST(SoundFontSynthesizer, PlaysTheZoneOfTheSelectedPresetForTheKeyAndVelocity) {
  const double semitoneUp = std::exp2(1 / 12.0);
  const NoteCase cases[] = {
      {"the lower zone at its key's pitch", {}, 0x90, 60, 100, 441},
      {"the upper zone at its key's pitch", {}, 0x90, 72, 100, 1764},
      {"a soft note of the layers", {{0xC0, 1, 0}}, 0x90, 60, 99, 441},
      {"a loud note of the layers", {{0xC0, 1, 0}}, 0x90, 60, 100, 882},
      {"bank 1 by bank select", {{0xB0, 0, 1}, {0xB0, 32, 5}, {0xC0, 0, 0}}, 0x90, 60, 100, 1764},
      {"a missing bank falls back to bank 0", {{0xB0, 0, 9}, {0xC0, 0, 0}}, 0x90, 60, 100, 441},
      {"the drum channel plays the percussion bank", {}, 0x99, 36, 100, 441},
      {"a program the drum bank lacks falls back to its first", {{0xC9, 5, 0}}, 0x99, 42, 100, 882},
      {"bent a semitone up by the default range", {{0xE0, 0, 0x60}}, 0x90, 60, 100, 441 * semitoneUp},
      {"bent down by a range of 12 set by registered parameter 0",
       {{0xB0, 101, 0}, {0xB0, 100, 0}, {0xB0, 6, 12}, {0xE0, 0, 0}},
       0x90,
       60,
       100,
       220.5},
  };
  const auto shared = font();
  for (const NoteCase& c : cases) {
    Synthesizer synthesizer(shared);
    for (const auto& m : c.messages)
      synthesizer.apply(static_cast<uint8_t>(m[0] | (c.status & 0x0F)), m[1], m[2]);
    synthesizer.apply(c.status, c.key, c.velocity);
    EXPECT_NEAR(listen(synthesizer, 22050).frequency, c.frequency, c.frequency * 0.005) << c.what;
  }
}

// A note of channel `channel` (0 or 9), key 60 (or 42 on the drums) held a tenth of a second.
Synthesizer started(uint8_t channel = 0, uint8_t key = 60) {
  Synthesizer synthesizer(font());
  synthesizer.apply(static_cast<uint8_t>(0x90 | channel), key, 100);
  (void)listen(synthesizer, 4410);
  return synthesizer;
}

struct EndingCase {
  const char* what;
  std::vector<std::array<uint8_t, 3>> messages;  // after the note
  bool sounding;
};

TEST(SoundFontSynthesizer, NoteOffsPedalAndChannelModeMessagesEndTheChannelsNotesAlone) {
  const EndingCase cases[] = {
      {"a note off", {{0x80, 60, 0}}, false},
      {"a note on of velocity zero", {{0x90, 60, 0}}, false},
      {"a note off with the pedal down", {{0xB0, 64, 127}, {0x80, 60, 0}}, true},
      {"the pedal let go", {{0xB0, 64, 127}, {0x80, 60, 0}, {0xB0, 64, 0}}, false},
      {"all sound off", {{0xB0, 120, 0}}, false},
      {"all notes off", {{0xB0, 123, 0}}, false},
  };
  for (const EndingCase& c : cases) {
    Synthesizer synthesizer = started();
    synthesizer.apply(0x91, 60, 100);
    for (const auto& m : c.messages) synthesizer.apply(m[0], m[1], m[2]);
    (void)listen(synthesizer, 4410);
    EXPECT_EQ(synthesizer.soundingOn(0), c.sounding) << c.what;
    EXPECT_TRUE(synthesizer.soundingOn(1)) << c.what;
  }
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
  auto peak = [](const std::vector<float>& out) {
    float most = 0;
    for (float s : out) most = std::max(most, std::abs(s));
    return most;
  };
  EXPECT_GT(peak(outputs[0]), 0.01);
  EXPECT_GT(peak(outputs[9]), 0.01);
  EXPECT_EQ(peak(outputs[1]), 0.0f);
}

}  // namespace
}  // namespace rendlow::audio::soundfont
