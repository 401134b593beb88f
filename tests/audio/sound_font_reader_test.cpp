#include "audio/synth/soundfont/sound_font_reader.h"

#include <gtest/gtest.h>

#include "audio/audio_test.h"
#include "base/messages_audio.h"
#include "support/case_table.h"
#include "support/sound_font_builder.h"

namespace rendlow::audio::soundfont {
namespace {

using rendlow::test::CaseLine;
using rendlow::test::numbersOf;
using rendlow::test::rangeGenerator;
using rendlow::test::readCaseTable;
using rendlow::test::SoundFontBuilder;
using test::english;

// A preset over two instruments, each with zones over a range of keys, a global zone at both levels.
SoundFontBuilder twoInstruments() {
  SoundFontBuilder font;
  font.samples = {{"low", {100, -200, 300, -400}, 1, 3, 22050, 48, -7},
                  {"high", {5, 6, 7}, 0, 3, 44100, 72, 3}};
  font.instruments = {
      {"inst-a",
       0,
       0,
       {{{{kInitialAttenuation, 30}}, {}},
        {{rangeGenerator(kKeyRange, 0, 63),
          rangeGenerator(kVelocityRange, 1, 100),
          {kOverridingRootKey, 50},
          {kSampleId, 0},
          {kPan, 77}},
         {}}}},
      {"inst-b",
       0,
       0,
       {{{{kSampleId, 1}}, {{0x0502, kFilterCutoff, -2400, 0, 0}}}, {{{kCoarseTune, 3}}, {}}}}};
  font.presets = {{"preset-x",
                   5,
                   8,
                   {{{{kPan, 100}}, {}},
                    {{rangeGenerator(kKeyRange, 0, 63), {kInstrument, 0}}, {}},
                    {{rangeGenerator(kKeyRange, 64, 127), {kCoarseTune, 0xFFFE}, {kInstrument, 1}}, {}}}}};
  return font;
}

SoundFont read(const std::vector<uint8_t>& bytes) {
  auto font = readSoundFont(bytes, "test.sf2");
  EXPECT_TRUE(font.ok()) << (font ? "" : english(font.problem().message));
  return font ? std::move(*font) : SoundFont{};
}

TEST(SoundFontReader, ReadsPresetsWithTheirZonesAndGlobalZone) {
  const SoundFont font = read(twoInstruments().bytes());
  ASSERT_EQ(font.presets.size(), 1u);
  const Preset& preset = font.presets[0];
  EXPECT_EQ(preset.name, "preset-x");
  EXPECT_EQ(preset.program, 5);
  EXPECT_EQ(preset.bank, 8);
  EXPECT_TRUE(preset.global.has(kPan));
  EXPECT_EQ(preset.global.amount(kPan), 100);
  ASSERT_EQ(preset.zones.size(), 2u);
  EXPECT_EQ(preset.zones[0].target, 0);
  EXPECT_EQ(preset.zones[0].keys.high, 63);
  EXPECT_EQ(preset.zones[1].target, 1);
  EXPECT_EQ(preset.zones[1].keys.low, 64);
  EXPECT_EQ(preset.zones[1].amount(kCoarseTune), -2);
}

TEST(SoundFontReader, ReadsInstrumentZonesUpToTheirSample) {
  const SoundFont font = read(twoInstruments().bytes());
  ASSERT_EQ(font.instruments.size(), 2u);
  const Instrument& a = font.instruments[0];
  EXPECT_EQ(a.global.amount(kInitialAttenuation), 30);
  ASSERT_EQ(a.zones.size(), 1u);
  EXPECT_EQ(a.zones[0].velocities.low, 1);
  EXPECT_EQ(a.zones[0].velocities.high, 100);
  EXPECT_EQ(a.zones[0].amount(kOverridingRootKey), 50);
  EXPECT_EQ(a.zones[0].target, 0);
  EXPECT_FALSE(a.zones[0].has(kPan)) << "a generator after the sample counts for nothing";
  const Instrument& b = font.instruments[1];
  ASSERT_EQ(b.zones.size(), 1u) << "a zone without a sample that is not the first is left out";
  ASSERT_EQ(b.zones[0].modulators.size(), 1u);
  EXPECT_EQ(b.zones[0].modulators[0].source, 0x0502);
  EXPECT_EQ(b.zones[0].modulators[0].amount, -2400);
  EXPECT_FALSE(b.global.set.any());
}

TEST(SoundFontReader, ReadsSampleHeadersAndPoints) {
  const SoundFont font = read(twoInstruments().bytes());
  ASSERT_EQ(font.samples.size(), 2u);
  const SampleHeader& high = font.samples[1];
  EXPECT_EQ(high.name, "high");
  EXPECT_EQ(high.start, 4u + 46u);
  EXPECT_EQ(high.end, high.start + 3);
  EXPECT_EQ(high.loopEnd, high.start + 3);
  EXPECT_EQ(high.sampleRate, 44100u);
  EXPECT_EQ(high.originalKey, 72);
  EXPECT_EQ(font.samples[0].pitchCorrection, -7);
  EXPECT_FLOAT_EQ(font.point(1), -200.0f / 32768);
  EXPECT_FLOAT_EQ(font.point(high.start + 2), 7.0f / 32768);
}

TEST(SoundFontReader, AddsTheLowBytesOf24BitPointsOnlyWhenThereIsOneAPoint) {
  const std::size_t points = 4 + 46 + 3 + 46;
  for (std::size_t size : {points + 1, std::size_t{10}, points + 3}) {
    SoundFontBuilder builder = twoInstruments();
    builder.lowBytes.assign(size, 0);
    builder.lowBytes[1] = 0x80;
    const float expected = size == points + 1 ? (-200.0f * 256 + 128) / 8388608 : -200.0f / 32768;
    EXPECT_FLOAT_EQ(read(builder.bytes()).point(1), expected) << size;
  }
}

TEST(SoundFontReader, RefusesADamagedFileWithItsReason) {
  const std::vector<uint8_t> whole = twoInstruments().bytes();
  for (const CaseLine& c : readCaseTable("audio/data/damaged_sound_fonts.txt")) {
    const std::vector<int64_t> damage = numbersOf(c.columns[2] + " " + c.columns[3] + " " + c.columns[4]);
    std::vector<uint8_t> bytes = whole;
    if (damage[1] == 0) bytes.resize(bytes.size() - static_cast<std::size_t>(damage[2]));
    const auto at = static_cast<std::size_t>(
        static_cast<int64_t>(SoundFontBuilder::chunkAt(bytes, c.columns[1])) + 8 + damage[0]);
    for (int64_t i = 0; i < damage[1]; ++i)
      bytes[at + static_cast<std::size_t>(i)] = static_cast<uint8_t>(damage[2] >> 8 * i);
    const auto font = readSoundFont(bytes, "damaged.sf2");
    ASSERT_FALSE(font.ok()) << c.where;
    const std::string message = english(font.problem().message);
    EXPECT_EQ(message.substr(message.rfind('\n') + 1) + "\n", c.expected) << c.where;
  }
}

TEST(SoundFontReader, RefusesEveryCutOfTheFileWithoutReadingPastIt) {
  const std::vector<uint8_t> whole = twoInstruments().bytes();
  for (std::size_t size = 0; size < whole.size(); ++size) {
    const std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
    EXPECT_FALSE(readSoundFont(cut, "cut.sf2").ok()) << size;
  }
}

TEST(SoundFontReader, LoadsAFileAndTellsWhyOneCannotBeOpened) {
  rendlow::test::TempDir dir;
  const std::string path = dir.path() + "/missing.sf2";
  const auto font = loadSoundFont(path);
  ASSERT_FALSE(font.ok());
  EXPECT_EQ(english(font.problem().message),
            english(soundFontNotReadMessage(path, fileSystemReason(ENOENT))));
}

}  // namespace
}  // namespace rendlow::audio::soundfont
