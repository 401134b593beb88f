#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "audio/audio_backend.h"
#include "audio/audio_messages.h"
#include "backends.h"
#include "support/temp_dir.h"
#include "wav_bytes.h"

namespace rendlow::audio {
namespace {

using test::chunk;
using test::extensibleFormatBody;
using test::formatBody;
using test::le16;
using test::le24;
using test::le32;
using test::riffWave;

class AudioFiles : public testing::TestWithParam<const AudioBackend*> {
protected:
  const AudioBackend& backend() const { return *GetParam(); }

  Result<AudioBuffer> readBytes(const std::string& bytes) {
    const std::string path = dir_.file("in.wav");
    test::writeFile(path, bytes);
    return backend().read(path);
  }

  rendlow::test::TempDir dir_;
};

INSTANTIATE_TEST_SUITE_P(EveryBackend, AudioFiles, testing::ValuesIn(test::backendsInBuild()),
                         test::backendName);

// The golden file was written by an independent script: header fields, and the samples
// rounded half away from zero and clipped (1.0 and 2.0 to 32767, NaN to 0).
TEST_P(AudioFiles, WritesAPlainSixteenBitWaveByteForByte) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float half = 0.25f + 1.0f / 65536;
  const AudioBuffer buffer{
      22050, 2, {0, 1, -1, 0.5f, -0.5f, half, -half, 2, -2, nan, 3.0f / 65536, -3.0f / 65536}};
  const std::string path = dir_.file("out.wav");
  ASSERT_TRUE(backend().write(path, buffer, AudioFileType::Wav));
  EXPECT_EQ(test::readFile(path), test::readFile(test::dataFile("pcm16_stereo_22050.wav")));
}

TEST_P(AudioFiles, WrittenSixteenBitSamplesReadBackExactly) {
  AudioBuffer buffer{48000, 6, {}};
  for (int i = 0; i < 6 * 50; ++i)
    buffer.samples.push_back(static_cast<float>(i * 217 % 65536 - 32768) / 32768);
  const std::string path = dir_.file("six.wav");
  ASSERT_TRUE(backend().write(path, buffer, AudioFileType::Wav));
  Result<AudioBuffer> back = backend().read(path);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->sampleRate, 48000);
  EXPECT_EQ(back->channels, 6);
  EXPECT_EQ(back->samples, buffer.samples);
}

struct AcceptedFile {
  const char* name;
  std::string bytes;
  int32_t rate;
  int32_t channels;
  std::vector<float> samples;
};

// Two frames of every encoding we take, and the 16-bit file in every layout of chunks.
std::vector<AcceptedFile> acceptedFiles() {
  const std::string fmt16 = chunk("fmt ", formatBody(1, 2, 44100, 16));
  const std::string data16 = chunk("data", le16(0x8000) + le16(0x7FFF) + le16(1) + le16(0xFFFF));
  const std::vector<float> samples16{-1, 32767.0f / 32768, 1.0f / 32768, -1.0f / 32768};
  const std::string oddChunk = chunk("junk", "abc");
  const float nan = std::numeric_limits<float>::quiet_NaN();
  return {
      {"Int16", riffWave({fmt16, data16}), 44100, 2, samples16},
      {"Int24Mono",
       riffWave({chunk("fmt ", formatBody(1, 1, 8000, 24)),
                 chunk("data", le24(0x800000) + le24(0x7FFFFF) + le24(0xFFFF00))}),
       8000,
       1,
       {-1, 8388607.0f / 8388608, -256.0f / 8388608}},
      {"Int32ThreeChannels",
       riffWave({chunk("fmt ", formatBody(1, 3, 11025, 32)),
                 chunk("data", le32(0x80000000u) + le32(0x40000000) + le32(0xFFFFFFFFu))}),
       11025,
       3,
       {-1, 0.5f, -1.0f / 2147483648.0f}},
      {"Float",
       riffWave({chunk("fmt ", formatBody(3, 2, 96000, 32)),
                 chunk("data", test::floatBytes(-0.75f) + test::floatBytes(0.125f) + test::floatBytes(1.5f) +
                                   test::floatBytes(nan))}),
       96000,
       2,
       {-0.75f, 0.125f, 1, 0}},
      {"ExtensiblePcm24",
       riffWave({chunk("fmt ", extensibleFormatBody(1, 1, 44100, 24)),
                 chunk("data", le24(0x400000) + le24(0xC00000))}),
       44100,
       1,
       {0.5f, -0.5f}},
      {"ExtensibleFloat",
       riffWave({chunk("fmt ", extensibleFormatBody(3, 1, 44100, 32)),
                 chunk("data", test::floatBytes(0.25f) + test::floatBytes(-1.0f))}),
       44100,
       1,
       {0.25f, -1}},
      {"DataBeforeFormat", riffWave({data16, fmt16}), 44100, 2, samples16},
      {"ListAndOddChunkBetween",
       riffWave({fmt16, chunk("LIST", "INFOISFT" + le32(3) + "ab\0"), oddChunk, data16}), 44100, 2,
       samples16},
      {"OddChunkWithoutPadAtTheEnd", riffWave({fmt16, data16, chunk("junk", "abc", false)}), 44100, 2,
       samples16},
      {"IncompleteLastFrameLeftOut", riffWave({fmt16, chunk("data", data16.substr(8) + le16(5))}), 44100, 2,
       samples16},
      {"WrongRiffSize", "RIFF" + le32(4) + riffWave({fmt16, data16}).substr(8), 44100, 2, samples16},
  };
}

TEST_P(AudioFiles, ReadsEveryAcceptedEncodingAndLayout) {
  for (const AcceptedFile& file : acceptedFiles()) {
    SCOPED_TRACE(file.name);
    Result<AudioBuffer> buffer = readBytes(file.bytes);
    ASSERT_TRUE(buffer) << buffer.problem().message.in(Audience::EnglishConsole);
    EXPECT_EQ(buffer->sampleRate, file.rate);
    EXPECT_EQ(buffer->channels, file.channels);
    EXPECT_EQ(buffer->samples, file.samples);
  }
}

struct DamagedFile {
  const char* name;
  std::string bytes;
  const char* reason;  // words of the English reason
};

std::vector<DamagedFile> damagedFiles() {
  const std::string fmt16 = chunk("fmt ", formatBody(1, 2, 44100, 16));
  const std::string data16 = chunk("data", le16(1) + le16(2));
  const std::string whole = riffWave({fmt16, data16});
  std::string zeroChannels = formatBody(1, 2, 44100, 16);
  zeroChannels.replace(2, 2, le16(0));
  std::string wrongBlock = formatBody(1, 2, 44100, 16);
  wrongBlock.replace(12, 2, le16(3));
  std::string unknownGuid = extensibleFormatBody(1, 2, 44100, 16);
  unknownGuid[30] = 'x';
  return {
      {"Empty", "", "not a WAV file"},
      {"BigEndianRifx", "RIFX" + whole.substr(4), "not a WAV file"},
      {"NotWave", whole.substr(0, 8) + "AVI " + whole.substr(12), "not a WAV file"},
      {"DataPastTheEnd", whole.substr(0, whole.size() - 2),
       "\"data\" chunk says it is 4 bytes long, but only 2"},
      {"FormatPastTheEnd", whole.substr(0, 30), "\"fmt \" chunk says it is 16 bytes long, but only 10"},
      {"HugeChunkSize", riffWave({fmt16, "LIST" + le32(0xFFFFFFF0u), data16}), "\"LIST\" chunk says"},
      {"NoFormat", riffWave({data16}), "no \"fmt \" chunk"},
      {"NoData", riffWave({fmt16}), "no \"data\" chunk"},
      {"FormatTooShort", riffWave({chunk("fmt ", formatBody(1, 2, 44100, 16).substr(0, 14)), data16}),
       "14 bytes long, short of the 16"},
      {"ExtensibleTooShort",
       riffWave({chunk("fmt ", extensibleFormatBody(1, 2, 44100, 16).substr(0, 30)), data16}),
       "30 bytes long, short of the 40"},
      {"ExtensibleOfUnknownKind", riffWave({chunk("fmt ", unknownGuid), data16}),
       "format tag 65534, 16 bits"},
      {"EightBit", riffWave({chunk("fmt ", formatBody(1, 2, 44100, 8)), data16}), "format tag 1, 8 bits"},
      {"DoubleFloat", riffWave({chunk("fmt ", formatBody(3, 1, 44100, 64)), data16}),
       "format tag 3, 64 bits"},
      {"Adpcm", riffWave({chunk("fmt ", formatBody(2, 1, 44100, 4)), data16}), "format tag 2, 4 bits"},
      {"NoChannels", riffWave({chunk("fmt ", zeroChannels), data16}), "channel count 0"},
      {"NoSampleRate", riffWave({chunk("fmt ", formatBody(1, 2, 0, 16)), data16}), "sample rate 0 Hz"},
      {"WrongBlockSize", riffWave({chunk("fmt ", wrongBlock), data16}), "block size 3 bytes"},
  };
}

TEST_P(AudioFiles, RefusesDamagedAndUnsupportedFilesSayingWhy) {
  const std::string path = dir_.file("bad.wav");
  for (const DamagedFile& file : damagedFiles()) {
    SCOPED_TRACE(file.name);
    test::writeFile(path, file.bytes);
    Result<AudioBuffer> buffer = backend().read(path);
    ASSERT_FALSE(buffer);
    const std::string& text = buffer.problem().message.in(Audience::EnglishConsole);
    EXPECT_NE(text.find("File: " + path), std::string::npos) << text;
    EXPECT_NE(text.find(file.reason), std::string::npos) << text;
  }
}

TEST_P(AudioFiles, RefusesAMissingFileNamingIt) {
  const std::string path = dir_.file("absent.wav");
  Result<AudioBuffer> buffer = backend().read(path);
  ASSERT_FALSE(buffer);
  EXPECT_EQ(buffer.problem().message.in(Audience::EnglishConsole),
            "Could not read a sound file\nFile: " + path +
                "\nThe file or folder does not exist. Check its name and where it is.");
}

// Read back whole, the pages' checksums hold after the serial number was set; written twice,
// the bytes agree.
TEST_P(AudioFiles, OggVorbisIsWrittenOnlyWhereLibsndfileIs) {
  AudioBuffer tone{44100, 2, {}};
  for (int i = 0; i < 44100; ++i) {
    const float value = 0.5f * static_cast<float>(std::sin(2 * std::numbers::pi * 440 * i / 44100.0));
    tone.samples.insert(tone.samples.end(), {value, value});
  }
  const std::string path = dir_.file("tone.ogg");
  Result<void> written = backend().write(path, tone, AudioFileType::OggVorbis);
  ASSERT_EQ(written.ok(), backend().writes(AudioFileType::OggVorbis));
  if (!written) {
    EXPECT_NE(written.problem().message.in(Audience::EnglishConsole).find("cannot write Ogg Vorbis"),
              std::string::npos);
    return;
  }
  Result<AudioBuffer> back = backend().read(path);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->channels, 2);
  EXPECT_EQ(back->frames(), tone.frames());
  ASSERT_TRUE(backend().write(dir_.file("again.ogg"), tone, AudioFileType::OggVorbis));
  EXPECT_EQ(test::readFile(path), test::readFile(dir_.file("again.ogg")));
  double error = 0;
  for (std::size_t i = 0; i < tone.samples.size(); ++i)
    error = std::max(error, std::fabs(double(back->samples[i]) - tone.samples[i]));
  EXPECT_LT(error, 0.05);
}

}  // namespace
}  // namespace rendlow::audio
