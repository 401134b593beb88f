// The built-in synthesizer against FluidSynth on short songs, same SoundFont, effects off: the
// short-time spectra of the two renders must lie close.

#include <gtest/gtest.h>

#include <filesystem>

#include "audio/fidelity/frequency_comparison.h"
#include "audio/synth/rendering.h"

namespace rendlow::audio::soundfont {
namespace {

const char* const kSmallSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";
// The log-spectral distance the renders of each song stay within. Layered and stereo-sampled
// instruments (the strings, the pad) still stray most; the piano and the drums lie near 2 dB.
constexpr double kBoundDb = 3.5;

using Track = std::vector<ChannelMessage>;

// A melody on `channel` of `program`: eight notes of a quarter each, their velocities falling.
Track melody(uint8_t channel, uint8_t program, int firstKey) {
  Track track{{0, static_cast<uint8_t>(0xC0 | channel), program, 0}};
  for (int i = 0; i < 8; ++i) {
    const auto key = static_cast<uint8_t>(firstKey + (i * 5) % 12);
    track.push_back({i * 480, static_cast<uint8_t>(0x90 | channel), key, static_cast<uint8_t>(120 - 10 * i)});
    track.push_back({i * 480 + 400, static_cast<uint8_t>(0x80 | channel), key, 0});
  }
  return track;
}

// Chords held by the pedal while the volume, pan and expression move and the pitch bends.
Track pad() {
  return {{0, 0xC1, 48, 0},      {0, 0xB1, 7, 90},    {0, 0xB1, 10, 30},    {0, 0x91, 48, 90},
          {0, 0x91, 55, 90},     {0, 0x91, 64, 90},   {100, 0xB1, 64, 127}, {200, 0x81, 48, 0},
          {200, 0x81, 55, 0},    {200, 0x81, 64, 0},  {960, 0xB1, 11, 80},  {1200, 0xE1, 0, 80},
          {1440, 0xB1, 10, 100}, {1920, 0xB1, 64, 0}, {2400, 0xB1, 1, 100}, {2400, 0x91, 60, 100},
          {3400, 0x81, 60, 0}};
}

// Kick, snare and hi-hats on the drum channel, the open hi-hat cut by the closed one.
Track drums() {
  Track track;
  for (int beat = 0; beat < 8; ++beat) {
    const int64_t tick = beat * 480;
    track.push_back({tick, 0x99, static_cast<uint8_t>(beat % 2 ? 38 : 36), 110});
    track.push_back({tick, 0x99, static_cast<uint8_t>(beat % 4 == 3 ? 46 : 42), 90});
    track.push_back({tick + 240, 0x99, 42, 70});
    for (uint8_t key : {36, 38, 42, 46}) track.push_back({tick + 400, 0x89, key, 0});
  }
  return track;
}

double distanceDb(const std::vector<Track>& song) {
  const TempoMap tempo(480, {{0, 500000}});
  const Result<AudioBuffer> fluid = renderSong(song, tempo, kSmallSoundFont);
  const Result<AudioBuffer> builtin = renderSong(song, tempo, kSmallSoundFont, Synth::Builtin);
  EXPECT_TRUE(fluid.ok() && builtin.ok());
  if (!fluid || !builtin) return 1e9;
  AudioBuffer playback = *builtin;
  playback.samples.resize(fluid->samples.size(), 0.0f);
  SpectraComparison comparison(2);
  comparison.add(*fluid, playback);
  return comparison.finish().logSpectralDistanceDb;
}

TEST(SoundFontAgainstFluidSynth, RendersShortSongsAlike) {
  if (!fluidSynthInBuild()) GTEST_SKIP() << "FluidSynth is not in this build";
  if (!std::filesystem::exists(kSmallSoundFont)) GTEST_SKIP() << kSmallSoundFont << " is not installed";
  const std::vector<std::pair<const char*, std::vector<Track>>> songs{
      {"piano", {melody(0, 0, 60)}},
      {"strings and bass", {melody(2, 48, 67), melody(3, 33, 36)}},
      {"pad", {pad()}},
      {"drums", {drums()}},
  };
  for (const auto& [name, song] : songs) {
    EXPECT_LE(distanceDb(song), kBoundDb) << name;
  }
}

}  // namespace
}  // namespace rendlow::audio::soundfont
