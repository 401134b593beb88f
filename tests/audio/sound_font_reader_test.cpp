#include "audio/synth/soundfont/sound_font_reader.h"

#include <gtest/gtest.h>

#include <functional>

#include "audio/audio_test.h"
#include "base/messages_audio.h"
#include "support/sound_font_builder.h"

namespace rendlow::audio::soundfont {
namespace {

using rendlow::test::FontGenerator;
using rendlow::test::rangeGenerator;
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

TEST(SoundFontReader, AddsTheLowBytesOf24BitPoints) {
  SoundFontBuilder builder = twoInstruments();
  builder.lowBytes.assign(4 + 46 + 3 + 46 + 1, 0);
  builder.lowBytes[1] = 0x80;
  const SoundFont font = read(builder.bytes());
  EXPECT_FLOAT_EQ(font.point(1), (-200.0f * 256 + 128) / 8388608);
  EXPECT_FLOAT_EQ(font.point(0), 100.0f / 32768);
}

TEST(SoundFontReader, PassesOverLowBytesOfAnotherLength) {
  for (std::size_t size : {10, 4 + 46 + 3 + 46 + 3}) {
    SoundFontBuilder builder = twoInstruments();
    builder.lowBytes.assign(size, 0x80);
    EXPECT_FLOAT_EQ(read(builder.bytes()).point(1), -200.0f / 32768) << size;
  }
}

void setWord(std::vector<uint8_t>& bytes, std::size_t at, uint32_t value) {
  bytes[at] = static_cast<uint8_t>(value);
  bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}

void setDoubleWord(std::vector<uint8_t>& bytes, std::size_t at, uint32_t value) {
  setWord(bytes, at, value & 0xFFFF);
  setWord(bytes, at + 2, value >> 16);
}

// The body of chunk `id` starts 8 bytes past it.
std::size_t bodyOf(const std::vector<uint8_t>& bytes, const std::string& id) {
  return SoundFontBuilder::chunkAt(bytes, id) + 8;
}

struct DamageCase {
  const char* what;
  std::function<void(std::vector<uint8_t>&)> damage;
  std::function<Message(const std::vector<uint8_t>&)> reason;
};

TEST(SoundFontReader, RefusesADamagedFileWithItsReason) {
  const DamageCase cases[] = {
      {"not a RIFF file", [](auto& b) { b[0] = 'X'; }, [](auto&) { return notSoundFontReason(); }},
      {"a RIFF of another form", [](auto& b) { b[11] = 'X'; }, [](auto&) { return notSoundFontReason(); }},
      {"cut short", [](auto& b) { b.resize(b.size() - 10); },
       [](auto& b) {
         return chunkPastEndReason("RIFF", static_cast<int64_t>(b.size() + 2),
                                   static_cast<int64_t>(b.size() - 8));
       }},
      {"no preset data", [](auto& b) { b[bodyOf(b, "pdta") - 8 + 3] = 'x'; },
       [](auto&) { return chunkMissingReason("pdta"); }},
      {"a table chunk missing", [](auto& b) { b[bodyOf(b, "imod") - 5] = 'x'; },
       [](auto&) { return chunkMissingReason("imod"); }},
      {"samples past their list", [](auto& b) { setDoubleWord(b, bodyOf(b, "smpl") - 4, 100000); },
       [](auto& b) {
         const std::size_t list = SoundFontBuilder::chunkAt(b, "sdta") - 8;
         const std::size_t listEnd = list + 8 + (b[list + 4] | b[list + 5] << 8);
         return chunkPastEndReason("smpl", 100000, static_cast<int64_t>(listEnd - bodyOf(b, "smpl")));
       }},
      {"presets not whole records", [](auto& b) { setDoubleWord(b, bodyOf(b, "phdr") - 4, 75); },
       [](auto&) { return soundFontRecordsCutReason("phdr", 75, 38); }},
      {"a bag past the generators", [](auto& b) { setWord(b, bodyOf(b, "ibag") + 4, 200); },
       [](auto&) { return soundFontIndexReason("ibag", 200, 8); }},
      {"bags running backwards", [](auto& b) { setWord(b, bodyOf(b, "pbag") + 8, 0); },
       [](auto&) { return soundFontIndexReason("pbag", 0, 6); }},
      {"a preset past the bags", [](auto& b) { setWord(b, bodyOf(b, "phdr") + 38 + 24, 9); },
       [](auto&) { return soundFontIndexReason("phdr", 9, 3); }},
      {"a sample past the samples", [](auto& b) { setWord(b, bodyOf(b, "igen") + 4 * 4 + 2, 2); },
       [](auto&) { return soundFontIndexReason("igen", 2, 2); }},
      {"an instrument past the instruments", [](auto& b) { setWord(b, bodyOf(b, "pgen") + 4 * 2 + 2, 5); },
       [](auto&) { return soundFontIndexReason("pgen", 5, 2); }},
      {"a sample ending past the data", [](auto& b) { setDoubleWord(b, bodyOf(b, "shdr") + 46 + 24, 500); },
       [](auto&) { return soundFontSampleReason("high"); }},
      {"a sample of rate zero", [](auto& b) { setDoubleWord(b, bodyOf(b, "shdr") + 36, 0); },
       [](auto&) { return soundFontSampleReason("low"); }},
  };
  const std::vector<uint8_t> whole = twoInstruments().bytes();
  for (const DamageCase& c : cases) {
    std::vector<uint8_t> bytes = whole;
    c.damage(bytes);
    const auto font = readSoundFont(bytes, "damaged.sf2");
    ASSERT_FALSE(font.ok()) << c.what;
    EXPECT_EQ(english(font.problem().message),
              english(soundFontNotReadMessage("damaged.sf2", c.reason(bytes))))
        << c.what;
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
