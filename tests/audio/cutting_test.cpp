#include <gtest/gtest.h>

#include <tuple>

#include "audio/io/audio_backend.h"
#include "audio/io/pcm_samples.h"
#include "audio/cut/stem_cutting.h"
#include "audio_test.h"

namespace rendlow::audio {
namespace {

using test::joined;

std::vector<float> repeated(float value, int count) { return std::vector<float>(count, value); }

// The rate, channels and samples of a source; the frames cut; the samples of the cut.
using CutCase = std::tuple<int32_t, int32_t, std::vector<float>, int64_t, int64_t, std::vector<float>>;

// At 1000 Hz the fade-out is 5 frames: gains 4/5, 3/5, 2/5, 1/5, 0. At 44.1 kHz it is 220.5
// frames, rounded to 221.
TEST(CutSound, StartsExactlyTrimsTheSilentTailAndFadesOut) {
  const std::vector<float> fade{0.4f, 0.3f, 0.2f, 0.1f, 0};
  const std::vector<float> stereoFade{0.5f, 0.5f, 0.4f, 0.4f, 0.3f, 0.3f, 0.2f, 0.2f, 0.1f, 0.1f, 0, 0};
  // -60 dBFS itself is kept; below it, on the way out, is silence.
  const std::vector<float> tail{0.5f, 0.5f, 0.001f, 0.0009f, -0.0009f, 0};
  std::vector<float> longFade = repeated(0.5f, 79);
  for (int i = 220; i >= 0; --i) longFade.push_back(0.5f * static_cast<float>(i / 221.0));
  const std::vector<CutCase> cases{
      {1000, 1, repeated(0.5f, 20), 3, 13, joined(repeated(0.5f, 5), fade)},  // ends at the next start
      {1000, 1, joined(repeated(0, 3), repeated(0.5f, 10)), 1, 10, joined({0, 0, 0.5f, 0.5f}, fade)},
      {1000, 1, joined(repeated(0.5f, 4), tail), 0, 10, joined({0.5f, 0.5f}, fade)},
      {1000, 2, joined(repeated(0.5f, 10), {0, 0.002f, 0, 0}), 0, 7, stereoFade},  // silent on both only
      {1000, 1, repeated(0.6f, 10), 4, 7, {0.4f, 0.2f, 0}},                        // shorter than the fade
      {1000, 1, repeated(0.5f, 8), 2, 50, joined({0.5f}, fade)},  // the end clamped to the source
      {1000, 1, repeated(0.5f, 8), 9, 12, {}},                    // starting past the source
      {1000, 1, repeated(0.0005f, 8), 0, 8, {}},                  // all silent
      {44100, 1, repeated(0.5f, 300), 0, 300, longFade},
  };
  for (const auto& [rate, channels, source, start, end, expected] : cases) {
    SCOPED_TRACE(testing::Message() << source.size() << " samples from " << start << " to " << end);
    const AudioBuffer cut = cutSound({rate, channels, source}, start, end);
    EXPECT_EQ(cut.sampleRate, rate);
    EXPECT_EQ(cut.channels, channels);
    ASSERT_EQ(cut.samples.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(cut.samples[i], expected[i], 1e-7) << i;
  }
}

// A stem of `frames` frames at 1000 Hz whose every sample tells its frame: (frame + 1) / 2^12,
// exact in 16 bits.
AudioBuffer numberedStem(int frames) {
  AudioBuffer stem{1000, 2, {}};
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
// earlier run there is no stem. A stem missing, extra, too short or unreadable is told, and the
// rest is cut: each sound from the frame nearest its start (0.0496 s at 1000 Hz is frame 50)
// to the next, the last one to the stem's end; the stem's name matched whatever its case.
TEST_F(CutStems, CutsEverySoundItCanAndTellsEveryStemItCannotUse) {
  const AudioBuffer stem = numberedStem(250);
  writeStem("TR01.WAV", stem);
  rendlow::test::writeBytes(stems_.file("tr03.wav"), {'R', 'I', 'F', 'F'});
  writeStem("tr04.wav", numberedStem(100));
  writeStem("tr09.wav", numberedStem(10));
  writeStem("tr01_01.wav", numberedStem(10));
  rendlow::test::writeBytes(stems_.file("notes.txt"), {'n', 'o'});
  const std::vector<StemSound> sounds{{"tr01_01.wav", 0.0496, 0.1004},
                                      {"tr01_02.wav", 0.1004, 0.25},
                                      {"tr01_03.wav", 0.25, 0.3},
                                      {"tr01_04.wav", 0.3, 0.4}};
  Result<SoundFilesReport> report =
      cut({{"tr01", sounds}, oneSound("tr02"), oneSound("tr03"), oneSound("tr04")}, stems_.path());
  ASSERT_TRUE(report);
  ASSERT_EQ(report->notices.size(), 4u);
  const std::vector<std::string> told{
      "The sound file of track tr02 is missing\nFolder: " + stems_.path() +
          "\nNone of its sounds were written. Render this track of the rendering MIDI file from its start "
          "(tick 0) and put it in this folder as tr02.wav.",
      "belongs to no converted track\nFile: " + stems_.file("tr09.wav"),
      "It is 0.250 s long, but its last sound starts at 0.300 s. The 2 sounds past its end",
      "Could not read a sound file\nFile: " + stems_.file("tr03.wav")};
  for (std::size_t i = 0; i < told.size(); ++i) EXPECT_TRUE(test::says(report->notices[i].message, told[i]));
  EXPECT_EQ(test::english(report->summary()), "Wrote 3 sound files\nFolder: " + stems_.path());
  EXPECT_EQ(soundOf("tr01_01.wav"), asWritten(cutSound(stem, 50, 100)));
  EXPECT_EQ(soundOf("tr01_02.wav"), asWritten(cutSound(stem, 100, 250)));
  EXPECT_TRUE(test::readText(stems_.file("tr01_03.wav")).empty());
  EXPECT_EQ(soundOf("tr04_01.wav"), asWritten(cutSound(numberedStem(100), 0, 100)));
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

TEST(SoundFileName, TakesTheExtensionOfItsType) {
  EXPECT_EQ(soundFileName(AudioFileType::OggVorbis, "tr01_01.wav"), "tr01_01.ogg");
}

}  // namespace
}  // namespace rendlow::audio
