// Ticks into seconds and the synthesizer's blocks, then the sounds rendered from them.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <optional>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

#include "audio/cut/sound_cut.h"
#include "audio/synth/tempo_map.h"
#include "audio/synth/rendering.h"
#include "audio_test.h"

namespace rendlow::audio {
namespace {

// 120 BPM before tick 0 and to tick 480, 60 BPM to 960, then 240 BPM: listed out of order, and
// of changes on one tick the last in the list wins.
TEST(TempoMap, TurnsTicksIntoSecondsPieceByPiece) {
  const TempoMap map(480, {{960, 250000}, {0, 1000000}, {480, 2000000}, {0, 500000}, {480, 1000000}});
  const std::vector<std::pair<int64_t, double>> times{{-480, -0.5}, {0, 0},     {240, 0.25}, {480, 0.5},
                                                      {720, 1.0},   {960, 1.5}, {1440, 1.75}};
  for (const auto& [tick, seconds] : times) EXPECT_DOUBLE_EQ(map.secondsAt(tick), seconds) << tick;
}

// A thousand changes of awkward tempos: the time after them stays within a nanosecond of the
// exact sum of microseconds.
TEST(TempoMap, StaysExactOverManyChanges) {
  std::vector<TempoChange> changes;
  int64_t ticksTimesMicroseconds = 0;
  int32_t tempo = 500000;
  for (int64_t tick = 457; tick <= 457000; tick += 457) {
    ticksTimesMicroseconds += 457 * tempo;
    tempo = static_cast<int32_t>(300001 + (tick / 457 * 7919) % 400000);
    changes.push_back({tick, tempo});
  }
  const double exact = (ticksTimesMicroseconds + 457 * tempo) / (1e6 * 479);
  EXPECT_NEAR(TempoMap(479, changes).secondsAt(457000 + 457), exact, 1e-9);
}

// The synthesizer starts an event at the first of its blocks at or after the event's time; a
// time that lies on a boundary but came out a hair after it stays there.
TEST(RenderTiming, AnEventStartsOnTheNextBlockBoundary) {
  EXPECT_EQ(blockBoundaryAtOrAfter(0, 64), 0);
  EXPECT_EQ(blockBoundaryAtOrAfter(0.001, 64), 64);
  EXPECT_EQ(blockBoundaryAtOrAfter(128 + 1e-9, 64), 128);
  // Tick 700 at 120 BPM, then 150 BPM from tick 480, is 0.68333 s: frame 30135.
  EXPECT_EQ(renderFrameOf(TempoMap(480, {{480, 400000}}), 700, 64), 30144);
}

using test::joined;

const char* const kSmallSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

// 120 BPM, then 150 BPM from tick 480: later ticks fall between the synthesizer's blocks. Tick
// 700 is frame 30135, and its block starts at 30144.
TempoMap songTempo() { return TempoMap(480, {{480, 400000}}); }
const int64_t kBoundaryOfTick700 = 30144;

// A piano note on channel 0, its controller presets before it as the rendering file has them.
std::vector<ChannelMessage> pianoNote(int64_t tick, int64_t length, uint8_t key = 60) {
  return {{tick, 0xC0, 0, 0}, {tick, 0xB0, 7, 100}, {tick, 0x90, key, 100}, {tick + length, 0x80, key, 0}};
}

// The samples of `count` frames of a stereo buffer from `frame` on, or of all frames from there.
std::vector<float> framesFrom(const AudioBuffer& buffer, int64_t frame, int64_t count = -1) {
  const auto first = buffer.samples.begin() + 2 * frame;
  return {first, count < 0 ? buffer.samples.end() : first + 2 * count};
}

// Each synthesizer through the same session interface: what the rendering asks of one, it asks
// of the other.
class Rendering : public testing::TestWithParam<Synth> {
protected:
  void SetUp() override {
    if (GetParam() == Synth::FluidSynth && !fluidSynthInBuild()) GTEST_SKIP() << "FluidSynth is not in this build";
    if (!std::ifstream(kSmallSoundFont))
      GTEST_SKIP() << kSmallSoundFont << " is not installed (timgm6mb-soundfont)";
    Result<SoundFontHold> opened = SoundFontHold::open(kSmallSoundFont, GetParam());
    ASSERT_TRUE(opened);
    hold.emplace(std::move(*opened));
  }

  AudioBuffer render(const RenderingFileTrack& track) {
    Result<AudioBuffer> rendered = renderTrackAudio(track, songTempo(), kSmallSoundFont, GetParam());
    EXPECT_TRUE(rendered);
    return rendered ? *rendered : AudioBuffer{};
  }

  std::optional<SoundFontHold> hold;
};

INSTANTIATE_TEST_SUITE_P(EverySynth, Rendering, testing::Values(Synth::FluidSynth, Synth::Builtin));

// Sounds handed over one at a time as they render, tracks side by side on three threads, are
// cut exactly as from each track's whole render and told in track order: a sound that rings into
// the next, two on one tick (the first of no length), a sound that dies away before the next, one
// that dies away and sounds again, one silent throughout, the last with its release, frames before
// the first; and tracks on channels of their own, every other one silent.
TEST_P(Rendering, SoundsCutAsTheyRenderOnAnyThreadsMatchEachWholeRender) {
  const std::vector<ChannelMessage> silentNote{{7000, 0xB0, 7, 0}, {7000, 0x90, 60, 100}, {7060, 0x80, 60, 0}};
  std::vector<RenderingFileTrack> tracks{
      {"tr01",
       joined(joined(joined(pianoNote(100, 700), pianoNote(300, 30, 64)),
                     joined(pianoNote(300, 60, 67), pianoNote(1500, 60, 72))),
              joined(joined(pianoNote(6000, 60, 74), silentNote), pianoNote(11000, 200, 72))),
       {{"tr01_01.wav", 100, 300},
        {"tr01_02.wav", 300, 300},
        {"tr01_03.wav", 300, 1500},
        {"tr01_04.wav", 1500, 7000},
        {"tr01_05.wav", 7000, 11000},
        {"tr01_06.wav", 11000, 11200}}}};
  for (uint8_t t = 1; t < 5; ++t) {
    const std::string stem = "tr0" + std::to_string(t + 1);
    std::vector<ChannelMessage> events =
        t % 2 ? std::vector<ChannelMessage>{{0, 0xB0, 7, 0}, {0, 0x90, 60, 100}, {100, 0x80, 60, 0}}
              : joined(pianoNote(0, 200, 60 + t), pianoNote(480, 100, 70 - t));
    for (ChannelMessage& event : events) event.status = static_cast<uint8_t>(event.status | t);
    tracks.push_back({stem, events, {{stem + "_01.wav", 0, 480}, {stem + "_02.wav", 480, 960}}});
  }
  rendlow::test::TempDir streamed, cut;
  Result<SoundFilesReport> report =
      renderSounds(tracks, songTempo(), *hold, SoundOutput{streamed.path()}, 3);
  ASSERT_TRUE(report);
  SoundFilesReport expected{cut.path(), 0, {}};
  for (const RenderingFileTrack& track : tracks) {
    const AudioBuffer whole = render(track);
    std::vector<SoundSpan> spans;
    for (const RenderingFileSound& sound : track.sounds) {
      const bool last = &sound == &track.sounds.back();
      spans.push_back(
          {sound.fileName, renderFrameOf(songTempo(), sound.startTick, synthBlockFrames(GetParam())),
           last ? whole.frames() : renderFrameOf(songTempo(), sound.endTick, synthBlockFrames(GetParam()))});
    }
    BufferStream recording(whole);
    ASSERT_TRUE(writeTrackSounds(track.stemName, recording, spans, SoundOutput{cut.path()}, expected));
    for (const SoundSpan& span : spans)
      EXPECT_EQ(test::readText(streamed.file(span.fileName)), test::readText(cut.file(span.fileName)))
          << span.fileName;
  }
  EXPECT_EQ(report->filesWritten, expected.filesWritten);
  ASSERT_EQ(expected.notices.size(), 3u) << "each track with a silent sound is told";
  EXPECT_EQ(test::texts(report->notices), test::texts(expected.notices));
}

// A sound renders from its block boundary as it does alone at the start of a track, whatever
// still rings when it starts: nothing of the sound before may reach it. FluidSynth ends a voice
// only at its next block, so a pedal or a note-on of the same key before then could call it back.
TEST_P(Rendering, ASoundStartsOnItsBoundaryAsIfAloneOnTheTrack) {
  const AudioBuffer alone = render({"tr01", pianoNote(700, 240), {{"b.wav", 700, 1200}}});
  const AudioBuffer atStart = render({"tr01", pianoNote(0, 240), {{"b.wav", 0, 500}}});
  int64_t first = 0;
  while (first < alone.frames() && alone.at(first, 0) == 0 && alone.at(first, 1) == 0) ++first;
  // FluidSynth is heard within 1 ms of the boundary; the built-in synthesizer a block and a frame
  // after it, the same on every boundary.
  if (GetParam() == Synth::Builtin) {
    EXPECT_EQ(first, kBoundaryOfTick700 + 65);
  } else {
    ASSERT_GE(first, kBoundaryOfTick700);
    EXPECT_LE(first, kBoundaryOfTick700 + 44) << "more than 1 ms after the sound's start";
  }
  EXPECT_EQ(framesFrom(alone, kBoundaryOfTick700, 2000), framesFrom(atStart, 0, 2000));
  const std::vector<ChannelMessage> next = pianoNote(700, 240, 67);
  const std::vector<ChannelMessage> sustained{{0, 0xB0, 64, 127}, {0, 0x90, 67, 120}, {100, 0x80, 67, 0}};
  const std::vector<std::pair<std::vector<ChannelMessage>, std::vector<ChannelMessage>>> cases{
      {{{0, 0xB0, 64, 127}, {0, 0x90, 48, 120}, {100, 0x80, 48, 0}}, next},  // held by the sustain pedal
      {sustained, next},                                                     // the same key, held so
      {sustained, joined({{700, 0xB0, 64, 0}}, next)},                       // the next releases the pedal
      {{{0, 0x90, 67, 120}}, next},                                          // never released
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(i);
    const auto& [before, sound] = cases[i];
    const AudioBuffer both =
        render({"tr01", joined(before, sound), {{"a.wav", 0, 700}, {"b.wav", 700, 1200}}});
    const AudioBuffer single = render({"tr01", sound, {{"b.wav", 700, 1200}}});
    ASSERT_NE(both.at(kBoundaryOfTick700 - 65, 0), 0.0f) << "the first sound has ended already";
    EXPECT_EQ(framesFrom(both, kBoundaryOfTick700), framesFrom(single, kBoundaryOfTick700));
  }
}

// Each track's frames, read in blocks of `block` until the song has rung out, and after them the
// sum of the blocks, each block's sum checked to be its tracks' added in order.
std::vector<AudioBuffer> tracksOf(SongStream& song, std::size_t count, int64_t block) {
  std::vector<AudioBuffer> tracks(count + 1, AudioBuffer{}), blocks;
  const auto append = [](AudioBuffer& to, const AudioBuffer& from) {
    to.samples.insert(to.samples.end(), from.samples.begin(), from.samples.end());
  };
  for (AudioBuffer sum; song.next(block, blocks, sum);) {
    std::vector<float> added(sum.samples.size(), 0.0f);
    for (std::size_t i = 0; i < count; ++i) {
      for (std::size_t s = 0; s < blocks[i].samples.size(); ++s) added[s] += blocks[i].samples[s];
      append(tracks[i], blocks[i]);
    }
    EXPECT_EQ(sum.samples, added);
    append(tracks[count], sum);
  }
  return tracks;
}

// A chord of 100 keys held on `channel`: fewer voices than a synthesizer has alone, more than
// it has for two.
std::vector<ChannelMessage> denseChord(uint8_t channel) {
  std::vector<ChannelMessage> chord;
  for (uint8_t key = 20; key < 120; ++key) {
    chord.push_back({0, static_cast<uint8_t>(0x90 | channel), key, 100});
    chord.push_back({900, static_cast<uint8_t>(0x80 | channel), key, 0});
  }
  std::stable_sort(chord.begin(), chord.end(), [](const ChannelMessage& a, const ChannelMessage& b) { return a.tick < b.tick; });
  return chord;
}

// Tracks on channels of their own are played by one synthesizer, the others alone: each track
// still sounds as alone, to the frame it has rung out, whichever rings out first and however
// many channels it plays on, however many voices the tracks hold at once, and a track sharing
// its channel keeps its own program. On one thread the song is the same to the sample, and the
// whole song's render is the sum of it.
TEST_P(Rendering, TracksOnChannelsOfTheirOwnSoundAsAloneOnAnyThreads) {
  std::vector<ChannelMessage> organ = pianoNote(240, 480, 72), bass = pianoNote(0, 1900, 40), shared = pianoNote(100, 300, 64);
  organ[0].data1 = 19;
  for (ChannelMessage& m : organ) m.status |= 1;
  for (ChannelMessage& m : bass) m.status |= 2;
  std::vector<ChannelMessage> twoChannels = joined(pianoNote(50, 200, 50), pianoNote(600, 300, 55));
  for (std::size_t e = 0; e < twoChannels.size(); ++e) twoChannels[e].status |= e < 4 ? 4 : 3;
  shared[0].data1 = 40;
  const std::vector<std::vector<ChannelMessage>> tracks{pianoNote(0, 480), organ, bass, twoChannels, {}, shared,
                                                        denseChord(5), denseChord(6), denseChord(7)};
  Result<std::unique_ptr<SongStream>> song = SongStream::open(tracks, songTempo(), *hold, 2);
  ASSERT_TRUE(song);
  Result<std::unique_ptr<SongStream>> oneThread = SongStream::open(tracks, songTempo(), *hold, 1);
  Result<AudioBuffer> whole = renderSong(tracks, songTempo(), kSmallSoundFont, GetParam());
  ASSERT_TRUE(oneThread && whole);
  const std::vector<AudioBuffer> together = tracksOf(**song, tracks.size(), 3000);
  const std::vector<AudioBuffer> onOneThread = tracksOf(**oneThread, tracks.size(), 3000);
  for (std::size_t i = 0; i <= tracks.size(); ++i) EXPECT_EQ(together[i].samples, onOneThread[i].samples) << i;
  EXPECT_EQ(whole->samples, together.back().samples);
  for (std::size_t i = 0; i < tracks.size(); ++i) {
    SCOPED_TRACE(i);
    Result<std::unique_ptr<SongStream>> lone = SongStream::open({tracks[i]}, songTempo(), *hold, 1);
    ASSERT_TRUE(lone);
    const AudioBuffer alone = tracksOf(**lone, 1, 5000)[0];
    ASSERT_EQ(together[i].frames(), alone.frames());
    float worst = 0;
    for (std::size_t s = 0; s < alone.samples.size(); ++s) worst = std::max(worst, std::fabs(alone.samples[s] - together[i].samples[s]));
    EXPECT_LT(worst, 1e-6f);
  }
}

// FluidSynth, whose messages are the point, is in no Windows build.
#ifndef _WIN32
// What the process writes on its standard error while `run` runs, where a library writes past
// every stream of ours: the descriptor itself is pointed at a file meanwhile.
std::string standardErrorOf(const std::function<void()>& run) {
  rendlow::test::TempDir folder;
  const std::string path = folder.file("stderr.txt");
  std::fflush(stderr);
  const int saved = dup(2);
  const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  dup2(file, 2);
  close(file);
  run();
  std::fflush(stderr);
  dup2(saved, 2);
  close(saved);
  return test::readText(path);
}

// A file that starts as a SoundFont and holds nothing more: FluidSynth refuses it, and the
// libraries it asks on the way say nothing on stderr; only our message tells it.
TEST(RenderingRefused, ADamagedSoundFontIsToldInOurWordsAlone) {
  if (!fluidSynthInBuild()) GTEST_SKIP() << "built without FluidSynth";
  rendlow::test::TempDir chart;
  const std::string soundFont = chart.file("damaged.sf2");
  rendlow::test::writeBytes(
      soundFont, {'R', 'I', 'F', 'F', 12, 0, 0, 0, 's', 'f', 'b', 'k', 'L', 'I', 'S', 'T', 0, 0, 0, 0});
  const RenderingFileTrack track{"tr01", pianoNote(0, 480), {{"tr01_01.wav", 0, 480}}};
  std::optional<Result<SoundFilesReport>> report;
  const std::string told = standardErrorOf(
      [&] { report = renderSounds({track}, songTempo(), soundFont, SoundOutput{chart.path()}); });
  ASSERT_FALSE(*report);
  EXPECT_EQ(test::english(report->problem().message),
            "Could not load the SoundFont\nFile: " + soundFont +
                "\nFluidSynth cannot read it, or it is damaged. Name another SoundFont (.sf2).");
  EXPECT_EQ(told, "");
}
#endif

}  // namespace
}  // namespace rendlow::audio
