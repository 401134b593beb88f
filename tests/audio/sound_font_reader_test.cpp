#include "audio/synth/soundfont/sound_font_reader.h"

#include <gtest/gtest.h>

#include <sstream>

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

// A zone as text: its ranges, what it plays, each generator it sets by number, its modulators.
void describe(std::ostream& out, const char* what, const Zone& zone) {
  out << "  " << what << " keys " << int(zone.keys.low) << "-" << int(zone.keys.high) << " velocities "
      << int(zone.velocities.low) << "-" << int(zone.velocities.high) << " plays " << zone.target;
  for (std::size_t g = 0; g < kGeneratorCount; ++g) {
    if (zone.set.test(g)) out << " " << g << "=" << zone.amounts[g];
  }
  for (const Modulator& m : zone.modulators) {
    out << " modulator " << m.source << ">" << m.destination << " " << m.amount << " by " << m.amountSource
        << " transform " << m.transform;
  }
  out << "\n";
}

// All the reader keeps of a file, as text.
std::string described(const SoundFont& font) {
  std::ostringstream out;
  auto zones = [&](const ZoneList& list) {
    describe(out, "global", list.global);
    for (const Zone& zone : list.zones) describe(out, "zone", zone);
  };
  for (const Preset& preset : font.presets) {
    out << "preset " << preset.name << " bank " << preset.bank << " program " << preset.program << "\n";
    zones(preset);
  }
  for (const Instrument& instrument : font.instruments) {
    out << "instrument " << instrument.name << "\n";
    zones(instrument);
  }
  for (const SampleHeader& s : font.samples) {
    out << "sample " << s.name << " " << s.start << "-" << s.end << " loop " << s.loopStart << "-"
        << s.loopEnd << " rate " << s.sampleRate << " key " << int(s.originalKey) << " correction "
        << int(s.pitchCorrection) << " type " << s.type << "\n";
  }
  out << "points";
  for (int16_t point : font.points) out << " " << point;
  out << "\nlow bytes " << font.lowBytes.size() << "\n";
  return out.str();
}

// Among what the file holds: a generator after an instrument zone's sample counts for nothing, and a
// zone without a sample that is not the first is left out.
TEST(SoundFontReader, ReadsPresetsInstrumentsSamplesAndPoints) {
  rendlow::test::expectGolden(described(read(twoInstruments().bytes())),
                              test::dataFile("sound_font_read_golden.txt"));
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
