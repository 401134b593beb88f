#include "audio/rendering.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "audio/audio_backend.h"
#include "audio/pcm_samples.h"
#include "audio/render_timing.h"
#include "support/temp_dir.h"
#include "wav_bytes.h"

namespace rendlow::audio {
namespace {

const char* const kSmallSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

bool smallSoundFontPresent() {
  std::FILE* file = std::fopen(kSmallSoundFont, "rb");
  if (file) std::fclose(file);
  return file != nullptr;
}

// 120 BPM, then 150 BPM from tick 480: later ticks fall between the synthesizer's blocks.
TempoMap songTempo() { return TempoMap(480, {{480, 400000}}); }

// A piano note on channel 0 with its controller presets before it, as the rendering file
// places a sound.
std::vector<ChannelMessage> pianoNote(int64_t tick, int64_t length, int key = 60) {
  return {{tick, 0xC0, 0, 0},
          {tick, 0xB0, 7, 100},
          {tick, 0x90, static_cast<uint8_t>(key), 100},
          {tick + length, 0x80, static_cast<uint8_t>(key), 0}};
}

std::vector<ChannelMessage> joined(std::vector<ChannelMessage> a, const std::vector<ChannelMessage>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

int64_t firstSounding(const AudioBuffer& buffer) {
  for (int64_t frame = 0; frame < buffer.frames(); ++frame) {
    if (buffer.at(frame, 0) != 0 || buffer.at(frame, 1) != 0) return frame;
  }
  return -1;
}

class Rendering : public testing::Test {
protected:
  void SetUp() override {
    if (!fluidSynthInBuild()) GTEST_SKIP() << "FluidSynth is not in this build";
    if (!smallSoundFontPresent()) GTEST_SKIP() << kSmallSoundFont << " is not installed (timgm6mb-soundfont)";
  }

  AudioBuffer render(const RenderTrack& track) {
    Result<AudioBuffer> rendered = renderTrack(track, songTempo(), kSmallSoundFont);
    EXPECT_TRUE(rendered);
    return rendered ? *rendered : AudioBuffer{};
  }
};

// Tick 700 is 0.68333 s, frame 30135; the next block boundary is 30144. The note must sound
// from there exactly as a note started at frame 0 does from frame 0.
TEST_F(Rendering, AOneNoteSoundStartsOnItsBlockBoundary) {
  const int64_t boundary = renderFrameOf(songTempo(), 700, 64);
  ASSERT_EQ(boundary, 30144);
  const AudioBuffer late = render({"tr01", pianoNote(700, 240), {{"tr01_01.wav", 700, 1200}}});
  const AudioBuffer early = render({"tr01", pianoNote(0, 240), {{"tr01_01.wav", 0, 500}}});
  const int64_t first = firstSounding(late);
  ASSERT_GE(first, boundary);
  EXPECT_LE(first, boundary + 44) << "more than 1 ms after the sound's start";
  for (int64_t frame = 0; frame < 2000; ++frame) {
    ASSERT_EQ(late.at(boundary + frame, 0), early.at(frame, 0)) << frame;
  }
}

TEST_F(Rendering, TheCutStartsWithTheRendersSampleAtTheBoundary) {
  const RenderTrack track{"tr01",
                          joined(pianoNote(100, 200), pianoNote(700, 240, 67)),
                          {{"tr01_01.wav", 100, 700}, {"tr01_02.wav", 700, 1200}}};
  const AudioBuffer whole = render(track);
  rendlow::test::TempDir chart;
  ASSERT_TRUE(
      renderSounds({track}, songTempo(), kSmallSoundFont, SoundOutput{chart.path(), AudioFileType::Wav}));
  Result<AudioBuffer> second = builtinBackend().read(chart.file("tr01_02.wav"));
  ASSERT_TRUE(second);
  const int64_t boundary = renderFrameOf(songTempo(), 700, 64);
  for (int64_t frame = 0; frame < 1000; ++frame) {
    for (int32_t channel = 0; channel < 2; ++channel) {
      ASSERT_EQ(second->at(frame, channel), pcm16FromFloat(whole.at(boundary + frame, channel)) / 32768.0f)
          << frame;
    }
  }
}

struct BleedCase {
  const char* name;
  std::vector<ChannelMessage> before;  // the first sound, still ringing at tick 700
  std::vector<ChannelMessage> next;    // the sound starting at tick 700
};

// Whatever still rings when the next sound starts, nothing of it may reach the next sound,
// which must sound as if it were alone on the track. FluidSynth ends a voice only at its next
// block, so a pedal or a note-on of the same key arriving before then could call it back.
TEST_F(Rendering, NothingOfASoundBleedsIntoTheNext) {
  const std::vector<ChannelMessage> sustained{{0, 0xB0, 64, 127}, {0, 0x90, 67, 120}, {100, 0x80, 67, 0}};
  const std::vector<BleedCase> cases{
      {"HeldBySustain",
       {{0, 0xB0, 64, 127}, {0, 0x90, 48, 120}, {100, 0x80, 48, 0}},
       pianoNote(700, 240, 67)},
      {"SameKeyHeldBySustain", sustained, pianoNote(700, 240, 67)},
      {"NextReleasesTheSustainItself", sustained, joined({{700, 0xB0, 64, 0}}, pianoNote(700, 240, 67))},
      {"NoteNeverReleased", {{0, 0x90, 67, 120}}, pianoNote(700, 240, 67)},
  };
  const int64_t boundary = renderFrameOf(songTempo(), 700, 64);
  for (const BleedCase& c : cases) {
    SCOPED_TRACE(c.name);
    const AudioBuffer both =
        render({"tr01", joined(c.before, c.next), {{"a.wav", 0, 700}, {"b.wav", 700, 1200}}});
    const AudioBuffer alone = render({"tr01", c.next, {{"b.wav", 700, 1200}}});
    ASSERT_NE(both.at(boundary - 65, 0), 0.0f) << "the first sound should still ring a block before";
    ASSERT_EQ(both.frames(), alone.frames());
    for (int64_t frame = boundary; frame < both.frames(); ++frame) {
      ASSERT_EQ(both.at(frame, 0), alone.at(frame, 0)) << frame;
    }
  }
}

TEST_F(Rendering, TwoRunsWriteTheSameBytes) {
  const RenderTrack track{
      "tr01",
      joined(joined(pianoNote(0, 200), pianoNote(480, 100, 64)), {{900, 0xE0, 0, 80}, {950, 0xB0, 1, 90}}),
      {{"tr01_01.wav", 0, 480}, {"tr01_02.wav", 480, 1100}}};
  rendlow::test::TempDir first;
  rendlow::test::TempDir second;
  Result<SoundFilesReport> report =
      renderSounds({track}, songTempo(), kSmallSoundFont, SoundOutput{first.path()});
  ASSERT_TRUE(report);
  EXPECT_EQ(report->filesWritten, 2);
  ASSERT_TRUE(renderSounds({track}, songTempo(), kSmallSoundFont, SoundOutput{second.path()}));
  for (const char* name : {"tr01_01.wav", "tr01_02.wav"}) {
    const std::string bytes = test::readFile(first.file(name));
    EXPECT_GT(bytes.size(), 1000u) << name;
    EXPECT_EQ(bytes, test::readFile(second.file(name))) << name;
  }
}

// Two tracks on one channel with different programs: only when each is rendered alone does
// the first keep its own instrument.
TEST_F(Rendering, TheSongSumsEachTrackRenderedAlone) {
  const std::vector<ChannelMessage> piano = pianoNote(0, 480);
  std::vector<ChannelMessage> organ = pianoNote(240, 480, 72);
  organ[0].data1 = 19;
  Result<AudioBuffer> song = renderSong({piano, organ}, songTempo(), kSmallSoundFont);
  Result<AudioBuffer> pianoAlone = renderSong({piano}, songTempo(), kSmallSoundFont);
  Result<AudioBuffer> organAlone = renderSong({organ}, songTempo(), kSmallSoundFont);
  ASSERT_TRUE(song && pianoAlone && organAlone);
  ASSERT_EQ(song->frames(), std::max(pianoAlone->frames(), organAlone->frames()));
  EXPECT_LT(song->frames(), 20 * 44100) << "the tracks should ring out well before the limit";
  for (std::size_t i = 0; i < song->samples.size(); ++i) {
    const float expected = (i < pianoAlone->samples.size() ? pianoAlone->samples[i] : 0.0f) +
                           (i < organAlone->samples.size() ? organAlone->samples[i] : 0.0f);
    ASSERT_EQ(song->samples[i], expected) << i;
  }
}

TEST_F(Rendering, AMissingSoundFontIsTheProblem) {
  rendlow::test::TempDir chart;
  Result<SoundFilesReport> report =
      renderSounds({}, songTempo(), chart.file("absent.sf2"), SoundOutput{chart.path()});
  ASSERT_FALSE(report);
  EXPECT_EQ(report.problem().message.in(Audience::EnglishConsole),
            "The SoundFont does not exist\nFile: " + chart.file("absent.sf2") +
                "\nCheck its name and folder. Nothing was written.");
}

TEST(RenderingWithoutFluidSynth, SaysItIsNotInThisBuild) {
  if (fluidSynthInBuild()) GTEST_SKIP() << "FluidSynth is in this build";
  Result<SoundFilesReport> report = renderSounds({}, songTempo(), "", SoundOutput{"."});
  ASSERT_FALSE(report);
  EXPECT_NE(report.problem().message.in(Audience::EnglishConsole).find("It was built without FluidSynth"),
            std::string::npos);
}

}  // namespace
}  // namespace rendlow::audio
