#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "audio/cut/stem_cutting.h"
#include "audio/io/audio_backend.h"
#include "audio/io/pcm_samples.h"
#include "audio/io/wav_file.h"
#include "audio_test.h"
#include "base/platform.h"
#include "support/case_table.h"

namespace rendlow::audio {
namespace {

// The samples a column of data/cuts.txt writes out, as its header says.
std::vector<float> samplesOf(const std::string& column) {
  std::vector<float> samples;
  std::istringstream words(column);
  for (std::string word; words >> word;) {
    const std::size_t fade = word.find('\\'), mark = std::min(word.find('*'), fade);
    const float value = test::fraction(word.substr(0, mark));
    const int count = mark == std::string::npos ? 1 : std::stoi(word.substr(mark + 1));
    for (int i = count - 1; i >= 0; --i)
      samples.push_back(fade == std::string::npos ? value : static_cast<float>(value * static_cast<double>(i) / count));
  }
  return samples;
}

TEST(CutSound, StartsExactlyKeepsAllThatIsHeardAndFadesOnlyWhatItCuts) {
  for (const rendlow::test::CaseLine& c : rendlow::test::readCaseTable("audio/data/cuts.txt")) {
    SCOPED_TRACE(c.where);
    ASSERT_EQ(c.columns.size(), 6u);
    const int32_t rate = std::stoi(c.columns[0]), channels = std::stoi(c.columns[1]);
    const std::vector<float> expected = samplesOf(c.columns[5]);
    const AudioBuffer cut = cutSound({rate, channels, samplesOf(c.columns[2])}, std::stoll(c.columns[3]), std::stoll(c.columns[4]));
    EXPECT_EQ(std::pair(cut.sampleRate, cut.channels), std::pair(rate, channels));
    ASSERT_EQ(cut.samples.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(cut.samples[i], expected[i], 1e-7) << i;
    EXPECT_EQ(isSilent(cut), std::all_of(expected.begin(), expected.end(), [](float x) { return x == 0; }));
  }
}

// A stem of `frames` frames at 1000 Hz whose every sample tells its frame: (frame + 1) / 2^12,
// exact in 16 bits.
AudioBuffer numberedStem(int frames, int32_t rate = 1000) {
  AudioBuffer stem{rate, 2, {}};
  for (int i = 1; i <= frames; ++i) stem.samples.insert(stem.samples.end(), {i / 4096.0f, -i / 4096.0f});
  return stem;
}

// What a sound file of 16-bit samples keeps of a sound.
std::vector<float> asWritten(const AudioBuffer& sound) {
  std::vector<float> samples;
  for (float sample : sound.samples) samples.push_back(pcm16FromFloat(sample) / 32768.0f);
  return samples;
}

StemTrack oneSound(const std::string& stem) { return {stem, {{stem + "_01.wav", 0, 0.05}}}; }

// `text` with `folder` written as STEMS wherever it is named, as it is a new folder each run.
std::string withFolderNamed(std::string text, const std::string& folder) {
  // The folder's separator is this platform's: the golden file has one form for every platform.
  const std::string inFolder = folder + pathSeparator();
  for (std::size_t at; (at = text.find(inFolder)) != std::string::npos;) text.replace(at, inFolder.size(), "STEMS/");
  for (std::size_t at; (at = text.find(folder)) != std::string::npos;) text.replace(at, folder.size(), "STEMS");
  return text;
}

class CutStems : public testing::Test {
protected:
  void writeStem(const std::string& name, const AudioBuffer& stem) {
    ASSERT_TRUE(builtinBackend().write(stems_.file(name), stem, AudioFileType::Wav));
  }

  Result<SoundFilesReport> cut(const std::vector<StemTrack>& tracks, const std::string& folder) {
    return cutStems(tracks, stems_.path(), SoundOutput{folder, AudioFileType::Wav, &defaultBackend()});
  }

  std::vector<float> soundOf(const std::string& name) {
    Result<AudioBuffer> sound = defaultBackend().read(stems_.file(name));
    EXPECT_TRUE(sound) << name;
    return sound ? sound->samples : std::vector<float>{};
  }

  rendlow::test::TempDir stems_;
};

// A folder of stems as an author leaves it, which is the chart's folder too: a sound file of an
// earlier run there is no stem. A stem missing, extra, in a format not read (Wave64), unreadable,
// holding no sound or not fitting its track is told, and the rest is cut: each sound from the frame nearest
// its start (0.1004 s at 1000 Hz is frame 100) to the next, the last one to the stem's end; the stem's name
// matched whatever its case. Sounds that come out silent are written as silence and counted; mixed rates are
// told.
TEST_F(CutStems, CutsEverySoundItCanAndTellsEveryStemItCannotUse) {
  const AudioBuffer stem = numberedStem(250);
  writeStem("TR01.WAV", stem);
  rendlow::test::writeBytes(stems_.file("tr03.wav"), {'R', 'I', 'F', 'F'});
  writeStem("tr04.wav", numberedStem(200, 2000));
  writeStem("tr05.wav", numberedStem(100));
  AudioBuffer halfSilent = numberedStem(50);
  halfSilent.samples.resize(200, 0.0f);
  writeStem("tr06.wav", halfSilent);
  writeStem("tr09.wav", numberedStem(10));
  writeStem("tr01_01.wav", numberedStem(10));
  rendlow::test::writeBytes(stems_.file("notes.txt"), {'n', 'o'});
  rendlow::test::writeBytes(stems_.file("tr07.w64"), {'r', 'i', 'f', 'f'});
  const std::string noSound = encodeWav16({1000, 1, {}}).value();
  rendlow::test::writeBytes(stems_.file("tr08.wav"), rendlow::test::Bytes(noSound.begin(), noSound.end()));
  const StemTrack tr01{"tr01", {{"tr01_01.wav", 0, 0.1004}, {"tr01_02.wav", 0.1004, 0.2}}, 0.25};
  const StemTrack tr05{"tr05", {{"tr05_01.wav", 0, 0.2}}, 0.2};  // 100 ms longer than its stem
  const StemTrack tr06{"tr06", {{"tr06_01.wav", 0, 0.05}, {"tr06_02.wav", 0.05, 0.1, 0, true}}, 0.1};
  Result<SoundFilesReport> report = cut({tr01, oneSound("tr02"), oneSound("tr03"), oneSound("tr04"), tr05,
                                         tr06, oneSound("tr07"), oneSound("tr08")},
                                        stems_.path());
  ASSERT_TRUE(report);
  const std::string told = test::noticesText(report->notices) + test::english(report->summary()) + "\n";
  rendlow::test::expectGolden(withFolderNamed(told, stems_.path()), test::dataFile("stem_folder_golden.txt"));
  EXPECT_EQ(soundOf("tr01_01.wav"), asWritten(cutSound(stem, 0, 100)));
  EXPECT_EQ(soundOf("tr01_02.wav"), asWritten(cutSound(stem, 100, 250)));
  EXPECT_EQ(soundOf("tr04_01.wav"), asWritten(cutSound(numberedStem(200, 2000), 0, 200)));
  EXPECT_EQ(soundOf("tr06_02.wav"), std::vector<float>(100, 0.0f));
  EXPECT_FALSE(std::filesystem::exists(stems_.file("tr05_01.wav")));
}

TEST_F(CutStems, StopsAtASoundThatCannotBeWrittenOrAFolderThatCannotBeRead) {
  writeStem("tr01.wav", numberedStem(100));
  Result<SoundFilesReport> report = cut({oneSound("tr01")}, stems_.file("absent"));
  ASSERT_FALSE(report);
  EXPECT_TRUE(
      test::says(report.problem().message, "Could not write a sound file\nFile: " + stems_.file("absent")));
  report = cutStems({{"tr01", {}}}, stems_.file("absent"), SoundOutput{stems_.path()});
  ASSERT_FALSE(report);
  EXPECT_TRUE(test::says(report.problem().message, "Could not read the folder of the per-track sound files"));
}

// Spans of a stem of 300 frames, silent in [190, 200) and [215, 230), in the order of their
// starts: one across blocks after frames before it, one of no length, one with silence within
// it and at its end after a gap longer than some blocks, the last to the stem's end; and sounds
// reaching past the stem's end or wholly past it.
const std::vector<std::vector<SoundSpan>> kSpansOf300{
    {{"a.wav", 5, 40}, {"b.wav", 40, 40}, {"c.wav", 40, 41}, {"d.wav", 180, 230}, {"e.wav", 230, kRecordingEnd}},
    {{"a.wav", 0, 299}, {"b.wav", 299, 400}, {"c.wav", 310, 320}},
};

// Read a block at a time, each sound is cut as from the whole stem held at once.
TEST(WriteTrackSounds, CutsEachSoundAsFromTheWholeStemWhateverTheBlocks) {
  AudioBuffer stem = numberedStem(300);
  for (const auto& [first, end] : {std::pair(190, 200), std::pair(215, 230)})
    std::fill(stem.samples.begin() + 2 * first, stem.samples.begin() + 2 * end, 0.0f);
  for (const std::vector<SoundSpan>& spans : kSpansOf300) {
    for (int64_t block : {int64_t{1}, int64_t{3}, int64_t{64}, int64_t{300}, kStreamBlockFrames}) {
      SCOPED_TRACE("blocks of " + std::to_string(block));
      rendlow::test::TempDir folder;
      BufferStream recording(stem);
      SoundFilesReport report{folder.path(), 0, {}};
      ASSERT_TRUE(writeTrackSounds("tr01", recording, spans, SoundOutput{folder.path()}, report, block));
      EXPECT_EQ(report.filesWritten, static_cast<int32_t>(spans.size()));
      for (const SoundSpan& span : spans) {
        Result<AudioBuffer> sound = builtinBackend().read(folder.file(span.fileName));
        ASSERT_TRUE(sound) << span.fileName;
        EXPECT_EQ(sound->samples, asWritten(cutSound(stem, span.startFrame, span.endFrame))) << span.fileName;
      }
    }
  }
}

}  // namespace
}  // namespace rendlow::audio
