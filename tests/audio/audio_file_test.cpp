#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <sstream>

#include "audio/io/audio_backend.h"
#include "audio/io/wav_stream.h"
#include "audio_test.h"

namespace rendlow::audio {
namespace {

// Every backend of this build: the builtin one, then libsndfile where the build has it.
class AudioFiles : public testing::TestWithParam<const AudioBackend*> {
protected:
  void SetUp() override {
    if (!GetParam()) GTEST_SKIP() << "libsndfile is not in this build";
  }
  const AudioBackend& backend() const { return *GetParam(); }

  rendlow::test::TempDir dir_;
};

INSTANTIATE_TEST_SUITE_P(EveryBackend, AudioFiles, testing::Values(&builtinBackend(), sndfileBackend()));

// The golden file was written by an independent script: header fields, and the samples
// rounded half away from zero and clipped (1.0 and 2.0 to 32767, NaN to 0).
TEST_P(AudioFiles, WritesAPlainSixteenBitWaveByteForByte) {
  const float nan = std::numeric_limits<float>::quiet_NaN(), half = 0.25f + 1.0f / 65536;
  const AudioBuffer buffer{
      22050, 2, {0, 1, -1, 0.5f, -0.5f, half, -half, 2, -2, nan, 3.0f / 65536, -3.0f / 65536}};
  ASSERT_TRUE(backend().write(dir_.file("out.wav"), buffer, AudioFileType::Wav));
  EXPECT_EQ(test::readText(dir_.file("out.wav")), test::readText(test::dataFile("pcm16_stereo_22050.wav")));
}

// Every file of data/wav, read as data/wav/cases.txt says: the encodings we take, the layouts
// of chunks others write, and the damaged and unsupported files we refuse, saying why.
TEST_P(AudioFiles, ReadsEveryFileOfTheTableOrRefusesItSayingWhy) {
  std::istringstream table(test::readText(test::dataFile("wav/cases.txt")));
  int files = 0;
  for (std::string line; std::getline(table, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string name, rate, reason;
    fields >> name >> rate;
    SCOPED_TRACE(name);
    ++files;
    const std::string path = test::dataFile("wav/" + name);
    Result<AudioBuffer> buffer = backend().read(path);
    Result<SoundFile> streamed = openSoundFile(path, backend());
    if (rate == "refused") {
      ASSERT_FALSE(buffer);
      ASSERT_FALSE(streamed) << "read a block at a time, it is refused alike";
      EXPECT_EQ(test::english(streamed.problem().message), test::english(buffer.problem().message));
      std::getline(fields >> std::ws, reason);
      EXPECT_TRUE(test::says(buffer.problem().message, "Could not read a sound file\nFile: " + path + "\n"));
      EXPECT_TRUE(test::says(buffer.problem().message, reason));
      continue;
    }
    ASSERT_TRUE(buffer) << test::english(buffer.problem().message);
    int32_t channels = 0;
    fields >> channels;
    std::vector<float> samples;
    for (std::string sample; fields >> sample;) samples.push_back(test::fraction(sample));
    EXPECT_EQ(buffer->sampleRate, std::stoi(rate));
    EXPECT_EQ(buffer->channels, channels);
    EXPECT_EQ(buffer->samples, samples);
    ASSERT_TRUE(streamed);
    EXPECT_EQ(std::make_pair(streamed->sampleRate, streamed->channels), std::make_pair(buffer->sampleRate, channels));
    std::vector<float> inBlocks;
    const std::unique_ptr<SoundStream> stream = streamed->open();
    for (AudioBuffer block = stream->next(1); block.frames() > 0; block = stream->next(1))
      inBlocks.insert(inBlocks.end(), block.samples.begin(), block.samples.end());
    EXPECT_EQ(inBlocks, samples) << "read a frame at a time";
  }
  EXPECT_EQ(files, 31);
}

// Written twice, the bytes agree, as the serial number is ours; read back, the pages' checksums
// hold after it was set.
TEST_P(AudioFiles, OggVorbisIsWrittenOnlyWhereLibsndfileIs) {
  AudioBuffer tone{44100, 2, {}};
  for (int i = 0; i < 44100; ++i) {
    const float value = 0.5f * static_cast<float>(std::sin(2 * std::numbers::pi * 440 * i / 44100.0));
    tone.samples.insert(tone.samples.end(), {value, value});
  }
  Result<void> written = backend().write(dir_.file("tone.ogg"), tone, AudioFileType::OggVorbis);
  ASSERT_EQ(written.ok(), backend().writes(AudioFileType::OggVorbis));
  if (!written) {
    EXPECT_TRUE(test::says(written.problem().message, "cannot write Ogg Vorbis"));
    return;
  }
  Result<AudioBuffer> back = backend().read(dir_.file("tone.ogg"));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->channels, 2);
  ASSERT_EQ(back->frames(), tone.frames());
  ASSERT_TRUE(backend().write(dir_.file("again.ogg"), tone, AudioFileType::OggVorbis));
  EXPECT_EQ(test::readText(dir_.file("tone.ogg")), test::readText(dir_.file("again.ogg")));
  double error = 0;
  for (std::size_t i = 0; i < tone.samples.size(); ++i)
    error = std::max(error, std::fabs(double(back->samples[i]) - tone.samples[i]));
  EXPECT_LT(error, 0.05);
}

}  // namespace
}  // namespace rendlow::audio
