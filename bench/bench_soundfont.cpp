// The built-in SoundFont synthesizer against FluidSynth on a generated song of four parts (piano,
// bass, strings, drums): render time on one thread, alternated, medians of three, and the
// log-spectral distance between the two renders. The SoundFont is the first argument, TimGM6mb by
// default; the song's length in minutes the second, 5 by default.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "audio/fidelity/frequency_comparison.h"
#include "audio/synth/rendering.h"

namespace {

using namespace rendlow::audio;
using Track = std::vector<ChannelMessage>;

constexpr int64_t kBeat = 480;

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A part of `beats` beats on `channel`: a note every `step` ticks from `keys` in turn.
Track part(uint8_t channel, uint8_t program, int64_t beats, int64_t step, std::vector<uint8_t> keys) {
  Track track{{0, static_cast<uint8_t>(0xC0 | channel), program, 0}};
  for (int64_t tick = 0, n = 0; tick < beats * kBeat; tick += step, ++n) {
    const uint8_t key = keys[static_cast<std::size_t>(n) % keys.size()];
    track.push_back(
        {tick, static_cast<uint8_t>(0x90 | channel), key, static_cast<uint8_t>(70 + n * 13 % 50)});
    track.push_back({tick + step - 20, static_cast<uint8_t>(0x80 | channel), key, 0});
    if (n % 32 == 7) track.push_back({tick, static_cast<uint8_t>(0xE0 | channel), 0, 72});
    if (n % 32 == 9) track.push_back({tick, static_cast<uint8_t>(0xE0 | channel), 0, 64});
  }
  return track;
}

std::vector<Track> song(int minutes) {
  const int64_t beats = minutes * 120;
  return {part(0, 0, beats, kBeat / 2, {60, 64, 67, 72, 67, 64}), part(1, 33, beats, kBeat, {36, 43, 41, 38}),
          part(2, 48, beats, 4 * kBeat, {55, 57, 53, 52}),
          part(9, 0, beats, kBeat / 2, {36, 42, 38, 42, 36, 46})};
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The song by the synthesizer of `held`, on one thread.
AudioBuffer render(const std::vector<Track>& tracks, const TempoMap& tempo, const SoundFontHold& held) {
  auto stream = SongStream::open(tracks, tempo, held, 1);
  AudioBuffer mix{kRenderSampleRate, 2, {}};
  if (!stream) return mix;
  std::vector<AudioBuffer> blocks;
  for (AudioBuffer sum; (*stream)->next(kSongBlockFrames, blocks, sum);) {
    mix.samples.insert(mix.samples.end(), sum.samples.begin(), sum.samples.end());
  }
  return mix;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string soundFont = argc > 1 ? argv[1] : "/usr/share/sounds/sf2/TimGM6mb.sf2";
  const int minutes = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  const std::vector<Track> tracks = song(minutes);
  const TempoMap tempo(static_cast<int32_t>(kBeat), {{0, 500000}});
  // Each SoundFont read before the clock starts, as a keysound job reads it once.
  auto fluidHold = SoundFontHold::open(soundFont, Synth::FluidSynth);
  auto builtinHold = SoundFontHold::open(soundFont, Synth::Builtin);
  if (!fluidHold || !builtinHold) {
    std::fprintf(stderr, "cannot read %s\n", soundFont.c_str());
    return 1;
  }
  std::vector<double> fluidTimes, builtinTimes;
  AudioBuffer fluid, builtin;
  for (int run = 0; run < 3; ++run) {
    auto start = std::chrono::steady_clock::now();
    fluid = render(tracks, tempo, *fluidHold);
    fluidTimes.push_back(secondsSince(start));
    start = std::chrono::steady_clock::now();
    builtin = render(tracks, tempo, *builtinHold);
    builtinTimes.push_back(secondsSince(start));
  }
  builtin.samples.resize(fluid.samples.size(), 0.0f);
  SpectraComparison comparison(2);
  comparison.add(fluid, builtin);
  const double seconds = static_cast<double>(fluid.frames()) / kRenderSampleRate;
  std::printf("song: %d minutes, 4 parts, %.1f s rendered; SoundFont %s\n", minutes, seconds,
              soundFont.c_str());
  std::printf("%-22s %10s %14s\n", "renderer", "median s", "x real time");
  std::printf("%-22s %10.2f %14.1f\n", "FluidSynth, 1 thread", median(fluidTimes),
              seconds / median(fluidTimes));
  std::printf("%-22s %10.2f %14.1f\n", "built-in, 1 thread", median(builtinTimes),
              seconds / median(builtinTimes));
  std::printf("built-in / FluidSynth time: %.2f\n", median(builtinTimes) / median(fluidTimes));
  std::printf("log-spectral distance: %.2f dB\n", comparison.finish().logSpectralDistanceDb);
  return 0;
}
