#include "audio/stem_cutting.h"

#include <gtest/gtest.h>

#include "audio/audio_backend.h"
#include "audio/pcm_samples.h"
#include "audio/sound_cut.h"
#include "support/temp_dir.h"
#include "wav_bytes.h"

namespace rendlow::audio {
namespace {

// A stem of `frames` frames at 1000 Hz whose every sample tells its frame: (frame + 1) / 2^12,
// exact in 16 bits.
AudioBuffer numberedStem(int frames) {
  AudioBuffer stem{1000, 2, {}};
  for (int i = 0; i < frames; ++i) {
    const float value = static_cast<float>(i + 1) / 4096;
    stem.samples.insert(stem.samples.end(), {value, -value});
  }
  return stem;
}

// What a sound file of 16-bit samples keeps of a sound.
std::vector<float> asWritten(const AudioBuffer& sound) {
  std::vector<float> samples;
  for (float sample : sound.samples) samples.push_back(pcm16FromFloat(sample) / 32768.0f);
  return samples;
}

std::string englishOf(const Message& message) { return message.in(Audience::EnglishConsole); }

class CutStems : public testing::Test {
protected:
  void writeStem(const std::string& name, const AudioBuffer& stem) {
    ASSERT_TRUE(builtinBackend().write(stems_.file(name), stem, AudioFileType::Wav));
  }

  Result<SoundFilesReport> cut(const std::vector<StemTrack>& tracks,
                               AudioFileType type = AudioFileType::Wav) {
    return cutStems(tracks, stems_.path(), SoundOutput{chart_.path(), type, &defaultBackend()});
  }

  AudioBuffer readSound(const std::string& name) {
    Result<AudioBuffer> sound = defaultBackend().read(chart_.file(name));
    EXPECT_TRUE(sound) << name;
    return sound ? *sound : AudioBuffer{};
  }

  rendlow::test::TempDir stems_;
  rendlow::test::TempDir chart_;
};

TEST_F(CutStems, CutsEachSoundOfEachStemAtItsFrames) {
  const AudioBuffer stem = numberedStem(400);
  writeStem("tr01.wav", stem);
  Result<SoundFilesReport> report =
      cut({{"tr01", {{"tr01_01.wav", 0.0101, 0.1504}, {"tr01_02.wav", 0.1504, 0.4}}}});
  ASSERT_TRUE(report);
  EXPECT_TRUE(report->notices.empty());
  EXPECT_EQ(englishOf(report->summary()), "Wrote 2 sound files\nFolder: " + chart_.path());
  // 0.0101 s at 1000 Hz is frame 10.1, so frame 10; 0.1504 s is frame 150.
  const AudioBuffer first = readSound("tr01_01.wav");
  EXPECT_EQ(first.samples[0], 11.0f / 4096);
  EXPECT_EQ(first.samples, asWritten(cutSound(stem, 10, 150)));
  EXPECT_EQ(readSound("tr01_02.wav").samples, asWritten(cutSound(stem, 150, 400)));
}

// The folder is also the chart's: a sound file of an earlier run there is no stem.
TEST_F(CutStems, TellsMissingAndExtraStemsByNameAndGoesOn) {
  writeStem("TR01.WAV", numberedStem(100));
  writeStem("tr09.wav", numberedStem(10));
  writeStem("tr01_01.wav", numberedStem(10));
  rendlow::audio::test::writeFile(stems_.file("notes.txt"), "not a sound");
  Result<SoundFilesReport> report =
      cutStems({{"tr01", {{"tr01_01.wav", 0, 0.05}}}, {"tr02", {{"tr02_01.wav", 0, 0.05}}}}, stems_.path(),
               SoundOutput{stems_.path(), AudioFileType::Wav, &defaultBackend()});
  ASSERT_TRUE(report);
  ASSERT_EQ(report->notices.size(), 2u);
  EXPECT_EQ(
      englishOf(report->notices[0]),
      "The sound file of track tr02 is missing\nFolder: " + stems_.path() +
          "\nNone of its sounds were written. Render this track of the rendering MIDI file from its start "
          "(tick 0) and put it in this folder as tr02.wav.");
  EXPECT_NE(
      englishOf(report->notices[1]).find("belongs to no converted track\nFile: " + stems_.file("tr09.wav")),
      std::string::npos);
  EXPECT_EQ(report->filesWritten, 1);
}

TEST_F(CutStems, AShortStemWritesOnlyTheSoundsBeforeItsEnd) {
  writeStem("tr01.wav", numberedStem(250));
  Result<SoundFilesReport> report = cut({{"tr01",
                                          {{"tr01_01.wav", 0, 0.1},
                                           {"tr01_02.wav", 0.1, 0.25},
                                           {"tr01_03.wav", 0.25, 0.3},
                                           {"tr01_04.wav", 0.3, 0.4}}}});
  ASSERT_TRUE(report);
  ASSERT_EQ(report->notices.size(), 1u);
  EXPECT_NE(englishOf(report->notices[0])
                .find("It is 0.250 s long, but its last sound starts at 0.300 s. The 2 sounds past its end"),
            std::string::npos);
  EXPECT_EQ(report->filesWritten, 2);
  EXPECT_EQ(readSound("tr01_02.wav").frames(), 150);
  EXPECT_TRUE(rendlow::audio::test::readFile(chart_.file("tr01_03.wav")).empty());
}

TEST_F(CutStems, AnUnreadableStemIsToldAndTheOthersGoOn) {
  rendlow::audio::test::writeFile(stems_.file("tr01.wav"), "RIFF");
  writeStem("tr02.wav", numberedStem(100));
  Result<SoundFilesReport> report =
      cut({{"tr01", {{"tr01_01.wav", 0, 0.05}}}, {"tr02", {{"tr02_01.wav", 0, 0.05}}}});
  ASSERT_TRUE(report);
  ASSERT_EQ(report->notices.size(), 1u);
  EXPECT_NE(
      englishOf(report->notices[0]).find("Could not read a sound file\nFile: " + stems_.file("tr01.wav")),
      std::string::npos);
  EXPECT_EQ(report->filesWritten, 1);
}

TEST_F(CutStems, StopsAtASoundThatCannotBeWritten) {
  writeStem("tr01.wav", numberedStem(100));
  Result<SoundFilesReport> report =
      cutStems({{"tr01", {{"tr01_01.wav", 0, 0.05}}}}, stems_.path(),
               SoundOutput{chart_.file("absent"), AudioFileType::Wav, &defaultBackend()});
  ASSERT_FALSE(report);
  EXPECT_NE(englishOf(report.problem().message)
                .find("Could not write a sound file\nFile: " + chart_.file("absent")),
            std::string::npos);
}

TEST_F(CutStems, AFolderThatCannotBeReadIsTheProblem) {
  Result<SoundFilesReport> report =
      cutStems({{"tr01", {}}}, stems_.file("absent"), SoundOutput{chart_.path()});
  ASSERT_FALSE(report);
  EXPECT_NE(
      englishOf(report.problem().message).find("Could not read the folder of the per-track sound files"),
      std::string::npos);
}

TEST_F(CutStems, OggVorbisSoundsTakeTheOggExtension) {
  if (!defaultBackend().writes(AudioFileType::OggVorbis))
    GTEST_SKIP() << "no Ogg Vorbis writer in this build";
  writeStem("tr01.wav", numberedStem(400));
  ASSERT_TRUE(cut({{"tr01", {{"tr01_01.wav", 0, 0.3}}}}, AudioFileType::OggVorbis));
  EXPECT_EQ(rendlow::audio::test::readFile(chart_.file("tr01_01.ogg")).substr(0, 4), "OggS");
}

}  // namespace
}  // namespace rendlow::audio
