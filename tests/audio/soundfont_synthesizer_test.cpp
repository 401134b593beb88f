#include <gtest/gtest.h>

#include <cmath>

#include "audio/synth/soundfont/sound_font_reader.h"
#include "audio/synth/soundfont/synthesizer.h"
#include "support/sound_font_builder.h"

namespace rendlow::audio::soundfont {
namespace {

using rendlow::test::FontSample;
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
// Program 0: "low" below key 64, "high" from it, the preset tuning the upper zone a fifth up.
// Program 1: "low" soft, "high" loud (velocity 100 and up). Bank 1 program 0: "top".
// Bank 128 program 0: keys 42 and 46 of exclusive class 1 ("high", "top"), key 36 ("low"), each
// at its sample's own pitch.
SoundFontBuilder testFont() {
  SoundFontBuilder font;
  font.samples = {sine("low", 100, 0.5), sine("high", 50, 0.5), sine("top", 25, 0.5)};
  auto instrument = [](const char* name, uint16_t sample,
                       std::vector<rendlow::test::FontGenerator> more = {}) {
    more.insert(more.begin(), {kSampleModes, kLooped});
    more.push_back({kSampleId, sample});
    return rendlow::test::FontHeader{name, 0, 0, {{more, {}}}};
  };
  font.instruments = {instrument("i-low", 0),
                      instrument("i-high", 1),
                      instrument("i-top", 2),
                      {"i-kit",
                       0,
                       0,
                       {{{rangeGenerator(kKeyRange, 36, 36),
                          {kSampleModes, kLooped},
                          {kOverridingRootKey, 36},
                          {kSampleId, 0}},
                         {}},
                        {{rangeGenerator(kKeyRange, 42, 42),
                          {kSampleModes, kLooped},
                          {kExclusiveClass, 1},
                          {kOverridingRootKey, 42},
                          {kSampleId, 1}},
                         {}},
                        {{rangeGenerator(kKeyRange, 46, 46),
                          {kSampleModes, kLooped},
                          {kExclusiveClass, 1},
                          {kOverridingRootKey, 46},
                          {kSampleId, 2}},
                         {}}}}};
  font.presets = {
      {"split",
       0,
       0,
       {{{rangeGenerator(kKeyRange, 0, 63), {kInstrument, 0}}, {}},
        {{rangeGenerator(kKeyRange, 64, 127), {kCoarseTune, 7}, {kInstrument, 1}}, {}}}},
      {"layers",
       1,
       0,
       {{{rangeGenerator(kVelocityRange, 0, 99), {kInstrument, 0}}, {}},
        {{rangeGenerator(kVelocityRange, 100, 127), {kInstrument, 1}}, {}}}},
      {"bank one", 0, 1, {{{{kInstrument, 2}}, {}}}},
      {"kit", 0, 128, {{{{kInstrument, 3}}, {}}}},
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
  const double fifthUp = std::exp2(7 / 12.0);
  const NoteCase cases[] = {
      {"the lower zone at its key's pitch", {}, 0x90, 60, 100, 441},
      {"the upper zone, a fifth up by the preset", {}, 0x90, 72, 100, 882 * 2 * fifthUp},
      {"a soft note of the layers", {{0xC0, 1, 0}}, 0x90, 60, 99, 441},
      {"a loud note of the layers", {{0xC0, 1, 0}}, 0x90, 60, 100, 882},
      {"bank 1 by bank select", {{0xB0, 0, 1}, {0xB0, 32, 5}, {0xC0, 0, 0}}, 0x90, 60, 100, 1764},
      {"a missing bank falls back to bank 0", {{0xB0, 0, 9}, {0xC0, 0, 0}}, 0x90, 60, 100, 441},
      {"the drum channel plays the percussion bank", {}, 0x99, 36, 100, 441},
      {"a program the drum bank lacks falls back to its first", {{0xC9, 5, 0}}, 0x99, 42, 100, 882},
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

TEST(SoundFontSynthesizer, ANoteOffEndsTheNoteAndVelocityZeroIsOne) {
  for (uint8_t status : {0x80, 0x90}) {
    Synthesizer synthesizer = started();
    synthesizer.apply(status, 60, 0);
    (void)listen(synthesizer, 4410);
    EXPECT_FALSE(synthesizer.sounding()) << int(status);
  }
}

TEST(SoundFontSynthesizer, TheSustainPedalHoldsANoteUntilReleased) {
  Synthesizer synthesizer = started();
  synthesizer.apply(0xB0, 64, 127);
  synthesizer.apply(0x80, 60, 0);
  EXPECT_GT(listen(synthesizer, 4410).level, 0.01);
  synthesizer.apply(0xB0, 64, 0);
  (void)listen(synthesizer, 4410);
  EXPECT_FALSE(synthesizer.sounding());
}

TEST(SoundFontSynthesizer, AllSoundOffAndAllNotesOffEndTheChannelsNotes) {
  for (uint8_t controller : {120, 123}) {
    Synthesizer synthesizer = started(0);
    synthesizer.apply(0x91, 60, 100);
    synthesizer.apply(0xB0, controller, 0);
    (void)listen(synthesizer, 4410);
    EXPECT_FALSE(synthesizer.soundingOn(0)) << int(controller);
    EXPECT_TRUE(synthesizer.soundingOn(1)) << int(controller);
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

// The level in decibels against `full` once a block has passed: the gain moves to a new value
// over the block after the change.
double levelAfterChange(Synthesizer& synthesizer, double full) {
  (void)listen(synthesizer, 128);
  return 20 * std::log10(listen(synthesizer, 4410).level / full);
}

TEST(SoundFontSynthesizer, VolumeExpressionAndResetControllersSetTheLevel) {
  Synthesizer synthesizer = started();
  const double full = listen(synthesizer, 4410).level;
  synthesizer.apply(0xB0, 11, 64);
  EXPECT_NEAR(levelAfterChange(synthesizer, full), 40 * std::log10(64 / 127.0), 0.05);
  synthesizer.apply(0xB0, 7, 50);
  EXPECT_NEAR(levelAfterChange(synthesizer, full), 40 * std::log10(64 / 127.0) + 40 * std::log10(50 / 100.0),
              0.05);
  synthesizer.apply(0xB0, 121, 0);  // expression back to full, the volume kept
  EXPECT_NEAR(levelAfterChange(synthesizer, full), 40 * std::log10(50 / 100.0), 0.05);
}

TEST(SoundFontSynthesizer, PitchBendFollowsTheRangeSetByRegisteredParameterZero) {
  Synthesizer synthesizer = started();
  for (const auto& m :
       std::vector<std::array<uint8_t, 3>>{{0xB0, 101, 0}, {0xB0, 100, 0}, {0xB0, 6, 12}, {0xE0, 0, 0}}) {
    synthesizer.apply(m[0], m[1], m[2]);
  }
  EXPECT_NEAR(listen(synthesizer, 22050).frequency, 220.5, 3);
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
