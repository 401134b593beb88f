// Whether a stem belongs to the rendering MIDI file its sounds are cut for: stems synthesized
// from a rendering layout fit it; shifted, short, silent ones and one from an older layout do not.

#include "audio/cut/stem_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <sstream>

#include "audio/cut/sound_cut.h"
#include "audio/io/wav_stream.h"
#include "audio_test.h"
#include "support/case_table.h"
#include "synthesized_stem.h"

namespace rendlow::audio {
namespace {

using test::synthesizedStem;

// 120 BPM at 480 ticks a quarter: 960 ticks a second.
const TempoMap kTempo(480, {});

struct LaidNote {
  int64_t on;
  int64_t off;
  uint8_t key;
  uint8_t velocity;
  bool volumeZero = false;
};

// A track of the rendering file with each note its own sound, preceded by its volume preset as
// the rendering file sets it.
RenderingFileTrack laidOut(const std::vector<LaidNote>& notes) {
  RenderingFileTrack track{"tr01", {}, {}};
  for (std::size_t i = 0; i < notes.size(); ++i) {
    const LaidNote& n = notes[i];
    track.events.push_back({n.on, 0xB0, 7, static_cast<uint8_t>(n.volumeZero ? 0 : 100)});
    track.events.push_back({n.on, 0x90, n.key, n.velocity});
    track.events.push_back({n.off, 0x80, n.key, 0});
    const int64_t end = i + 1 < notes.size() ? notes[i + 1].on : n.off;
    track.sounds.push_back({"tr01_0" + std::to_string(i + 1) + ".wav", n.on, end});
  }
  std::stable_sort(track.events.begin(), track.events.end(),
                   [](const ChannelMessage& a, const ChannelMessage& b) { return a.tick < b.tick; });
  return track;
}

// A gap, a short gap, legato, a soft note after a long gap, a note the song silences, a gap.
const std::vector<LaidNote> kCurrent{{480, 900, 60, 100},  {960, 1400, 62, 100},       {1400, 1800, 64, 100},
                                     {2400, 2800, 65, 12}, {3000, 3300, 67, 100, true}, {3840, 4200, 69, 100}};
// The same notes as an older setting laid them out, with more room before each.
const std::vector<LaidNote> kOlder{{720, 1140, 60, 100},  {1440, 1880, 62, 100},       {1880, 2280, 64, 100},
                                   {3120, 3520, 65, 12}, {3960, 4260, 67, 100, true}, {5040, 5400, 69, 100}};

TEST(StemTrackOf, KnowsTheSilenceBeforeEachSoundAndTheSoundsTheSongSilences) {
  const StemTrack track = stemTrackOf(laidOut(kCurrent), kTempo);
  // Ticks of silence before each: from tick 0, after a note-off 60 ticks before, none (legato),
  // 600, 200 and 540 after the silenced note's end.
  const std::vector<int64_t> silentTicks{480, 60, 0, 600, 200, 540};
  ASSERT_EQ(track.sounds.size(), kCurrent.size());
  for (std::size_t i = 0; i < kCurrent.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(track.sounds[i].fileName, "tr01_0" + std::to_string(i + 1) + ".wav");
    EXPECT_DOUBLE_EQ(track.sounds[i].startSeconds, kCurrent[i].on / 960.0);
    EXPECT_NEAR(track.sounds[i].silenceBeforeSeconds, silentTicks[i] / 960.0, 1e-9);
    EXPECT_EQ(track.sounds[i].silentInSong, kCurrent[i].volumeZero);
  }
  EXPECT_DOUBLE_EQ(track.endSeconds, 4200 / 960.0);

  // Expression at 0 silences too; a volume restored after a silenced note hears the next.
  RenderingFileTrack expression = laidOut({{0, 100, 60, 100}, {200, 300, 62, 100}});
  expression.events.insert(expression.events.begin() + 3, {200, 0xB0, 11, 0});
  const StemTrack silenced = stemTrackOf(expression, kTempo);
  EXPECT_FALSE(silenced.sounds[0].silentInSong);
  EXPECT_TRUE(silenced.sounds[1].silentInSong);
}

AudioBuffer cutAt(AudioBuffer stem, double seconds) {
  stem.samples.resize(static_cast<std::size_t>(frameAt(seconds, stem.sampleRate)));
  return stem;
}

AudioBuffer withClickAt(AudioBuffer stem, double seconds, float level) {
  stem.samples[static_cast<std::size_t>(frameAt(seconds, stem.sampleRate))] = level;
  return stem;
}

// Each sample on both channels.
AudioBuffer inStereo(const AudioBuffer& mono) {
  AudioBuffer stereo{mono.sampleRate, 2, {}};
  for (float sample : mono.samples) stereo.samples.insert(stereo.samples.end(), {sample, sample});
  return stereo;
}

AudioBuffer dither(int64_t frames) {
  AudioBuffer noise{test::kStemRate, 1, {}};
  for (int64_t i = 0; i < frames; ++i) noise.samples.push_back(i % 3 == 0 ? 1.0f / 32768 : -1.0f / 32768);
  return noise;
}

// A stem as a line of data/stem_fits.txt makes it from `track`.
AudioBuffer stemOf(const std::string& making, const RenderingFileTrack& track) {
  std::istringstream words(making);
  std::string what, change;
  double seconds = 0;
  float level = 0.3f;
  words >> what >> change >> seconds >> level;
  const AudioBuffer right = synthesizedStem(what == "older" ? laidOut(kOlder) : track, kTempo, change == "tail" ? seconds : 0.3);
  if (what == "silent") return silentLike(right, right.frames());
  if (what == "dither") return dither(right.frames());
  if (what == "stereo") return inStereo(test::delayed(right, seconds));
  if (change == "late") return test::delayed(right, seconds);
  if (change == "click") return withClickAt(right, seconds, level);
  return change == "cut" ? cutAt(right, seconds) : right;
}

// `stem` as a sound file read from memory, counting its readings.
SoundFile heldFile(const AudioBuffer& stem, int& readings) {
  auto held = std::make_shared<const AudioBuffer>(stem);
  return {stem.sampleRate, stem.channels, [held, &readings] {
            ++readings;
            return std::make_unique<BufferStream>(*held);
          }};
}

// Read a block at a time, in blocks of one frame, of some not lined up with anything, or of
// more than the stem, a stem is found alike; one that fits is read once.
TEST(CheckStem, TellsWhatLooksWrongWithAStemAndNothingForOneOfThisRendering) {
  const RenderingFileTrack current = laidOut(kCurrent);
  for (const rendlow::test::CaseLine& c : rendlow::test::readCaseTable("audio/data/stem_fits.txt")) {
    ASSERT_EQ(c.columns.size(), 7u) << c.where;
    const AudioBuffer stem = stemOf(c.columns[0], current);
    for (int64_t block : {int64_t{1}, int64_t{997}, kStreamBlockFrames}) {
      SCOPED_TRACE(c.where + ", blocks of " + std::to_string(block));
      int readings = 0;
      const StemFit fit = checkStem(stemTrackOf(current, kTempo), heldFile(stem, readings), block);
      EXPECT_EQ(fit.fits(), c.columns[1] == "1");
      EXPECT_EQ(fit.silent, c.columns[2] == "1");
      EXPECT_EQ(fit.startLagMs, std::stoll(c.columns[3]));
      EXPECT_NEAR(fit.shortBySeconds, std::stod(c.columns[4]), 1e-3);
      EXPECT_EQ(fit.soundsNotLouder > 0, c.columns[5] == "1");
      EXPECT_EQ(fit.soundsChecked, std::stoi(c.columns[6]));
      if (fit.fits()) {
        EXPECT_EQ(readings, 1);
      }
    }
  }
}

// `stem` `gain` times as loud, then dithered to 16 bits as an editor exports it: noise of a
// triangular distribution, ±1 step of the 16-bit scale, added before rounding to that scale.
AudioBuffer exportedQuietly(AudioBuffer stem, float gain) {
  std::minstd_rand random(16);
  std::uniform_real_distribution<float> halfStep(-0.5f, 0.5f);
  for (float& sample : stem.samples)
    sample = std::round(sample * gain * 32768 + halfStep(random) + halfStep(random)) / 32768;
  return stem;
}

// Stems as editors export them, 40 dB down and dithered all along, at 48 and 96 kHz, mono or
// stereo: each judged at its own rate and channel count against its own noise floor, they fit;
// rendered late, they are still told late.
TEST(CheckStem, JudgesAnExportedStemAgainstItsOwnNoiseFloor) {
  const RenderingFileTrack current = laidOut(kCurrent);
  for (const int32_t rate : {48000, 96000}) {
    for (const bool stereo : {false, true}) {
      SCOPED_TRACE(std::to_string(rate) + (stereo ? " stereo" : " mono"));
      const auto exported = [&](double lateSeconds) {
        const AudioBuffer mono =
            exportedQuietly(test::delayed(synthesizedStem(current, kTempo, 0.3, rate), lateSeconds), 0.01f);
        return stereo ? inStereo(mono) : mono;
      };
      int readings = 0;
      const StemFit fit = checkStem(stemTrackOf(current, kTempo), heldFile(exported(0), readings));
      EXPECT_TRUE(fit.fits()) << "starts " << fit.startLagMs << " ms off, " << fit.soundsNotLouder
                              << " no louder";
      EXPECT_EQ(fit.soundsChecked, 4);
      EXPECT_EQ(checkStem(stemTrackOf(current, kTempo), heldFile(exported(0.1), readings)).startLagMs, 100);
    }
  }
}

TEST(CheckStem, ASongThatSilencesEveryNoteFitsASilentStem) {
  std::vector<LaidNote> silenced = kCurrent;
  for (LaidNote& note : silenced) note.volumeZero = true;
  const RenderingFileTrack track = laidOut(silenced);
  const AudioBuffer stem = synthesizedStem(track, kTempo);
  ASSERT_TRUE(isSilent(stem));
  int readings = 0;
  EXPECT_TRUE(checkStem(stemTrackOf(track, kTempo), heldFile(stem, readings)).fits());
}

// Each finding of data/stem_misfits.txt told in full, against its golden file.
TEST(StemMisfitMessage, NamesTheStemAndEveryThingThatLooksWrong) {
  std::string messages;
  for (const rendlow::test::CaseLine& c : rendlow::test::readCaseTable("audio/data/stem_misfits.txt")) {
    ASSERT_EQ(c.columns.size(), 5u) << c.where;
    const StemFit fit{c.columns[0] == "1", std::stoll(c.columns[1]), std::stod(c.columns[2]), std::stoi(c.columns[3]),
                      std::stoi(c.columns[4])};
    EXPECT_FALSE(fit.fits()) << c.where;
    messages += test::english(stemMisfitMessage("stems/tr01.wav", fit)) + "\n--\n";
  }
  rendlow::test::expectGolden(messages, test::dataFile("stem_misfits_golden.txt"));
}

}  // namespace
}  // namespace rendlow::audio
