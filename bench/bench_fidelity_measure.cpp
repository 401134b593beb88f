// How fast the fidelity measure's spectra and lag search work, in this process: a minute of
// stereo 44.1 kHz sound (notes with harmonics and decays, rests between phrases) compared with a
// playback that differs a little (gains, a detuned note now and then, a note left out), once as
// a whole song sounds and once as a track that rests three quarters of the time; then the lag
// search over the same minute. Each is timed a few times and the best run is reported, as
// spectral frames per second (a frame is 2048 samples of one channel, every 512) and as a
// real-time factor. The time is the processor time of this single-threaded process, so that
// other work on a shared machine sways it less than it would the wall clock.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <numbers>
#include <random>
#include <vector>

#include "audio/fidelity/frequency_comparison.h"
#include "audio/fidelity/lag_correlation.h"

namespace {

using namespace rendlow::audio;

constexpr int32_t kRate = 44100;
constexpr int32_t kChannels = 2;
constexpr double kSeconds = 60;
constexpr int64_t kHop = 512;
constexpr int64_t kBlock = 4096;  // frames handed over at a time, as a stream does
constexpr int kRuns = 5;
constexpr int64_t kMaxLag = kRate;  // as the real search: one second either way

struct Note {
  double start;
  double length;
  double frequency;
  double gain;
};

// Notes of a phrase every quarter second; of every `bars` seconds only the first `sounding`
// seconds have notes, so a part can rest.
std::vector<Note> notes(double bars, double sounding, uint32_t seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> key(36, 84);
  std::uniform_real_distribution<double> gain(0.05, 0.25);
  std::vector<Note> out;
  for (double t = 0; t < kSeconds; t += 0.25) {
    if (std::fmod(t, bars) >= sounding) continue;
    out.push_back({t, 0.2 + 0.1 * (out.size() % 5), 440 * std::pow(2.0, (key(random) - 69) / 12.0), gain(random)});
  }
  return out;
}

// The notes summed into interleaved stereo: three harmonics, an exponential decay, panned by
// their order. `changed` makes the playback: every 7th note detuned, every 11th left out, all a
// little softer.
std::vector<float> mix(const std::vector<Note>& notes, bool changed) {
  const auto frames = static_cast<int64_t>(kSeconds * kRate);
  std::vector<float> samples(static_cast<std::size_t>(frames * kChannels), 0.0f);
  for (std::size_t n = 0; n < notes.size(); ++n) {
    if (changed && n % 11 == 10) continue;
    const Note& note = notes[n];
    const double frequency = changed && n % 7 == 3 ? note.frequency * 1.01 : note.frequency;
    const double gain = changed ? note.gain * 0.95 : note.gain;
    const double pan = 0.3 + 0.4 * static_cast<double>(n % 3) / 2;
    const auto first = static_cast<int64_t>(note.start * kRate);
    const int64_t last = std::min(frames, first + static_cast<int64_t>(note.length * kRate));
    for (int64_t i = first; i < last; ++i) {
      const double t = static_cast<double>(i - first) / kRate;
      const double phase = 2 * std::numbers::pi * frequency * t;
      const double value =
          gain * std::exp(-6 * t) * (std::sin(phase) + 0.5 * std::sin(2 * phase) + 0.25 * std::sin(3 * phase));
      samples[static_cast<std::size_t>(i * kChannels)] += static_cast<float>(value * (1 - pan));
      samples[static_cast<std::size_t>(i * kChannels + 1)] += static_cast<float>(value * pan);
    }
  }
  return samples;
}

AudioBuffer slice(const std::vector<float>& samples, int64_t first, int64_t count) {
  const auto begin = samples.begin() + first * kChannels;
  return {kRate, kChannels, std::vector<float>(begin, begin + count * kChannels)};
}

double secondsSince(std::clock_t start) { return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC; }

template <typename Work>
double bestSeconds(Work work) {
  double best = 1e30;
  for (int run = 0; run < kRuns; ++run) {
    const std::clock_t start = std::clock();
    work();
    best = std::min(best, secondsSince(start));
  }
  return best;
}

void timeSpectra(const char* what, const std::vector<Note>& part) {
  const std::vector<float> reference = mix(part, false);
  const std::vector<float> playback = mix(part, true);
  const auto frames = static_cast<int64_t>(reference.size() / kChannels);
  SpectralFigures figures;
  const double seconds = bestSeconds([&] {
    SpectraComparison spectra(kChannels);
    for (int64_t at = 0; at < frames; at += kBlock) {
      const int64_t count = std::min(kBlock, frames - at);
      spectra.add(slice(reference, at, count), slice(playback, at, count));
    }
    figures = spectra.finish();
  });
  const double spectralFrames = static_cast<double>((frames + kHop - 1) / kHop * kChannels);
  std::printf("%-28s %10.0f frames/s %8.1fx real time  (distance %.9f dB, SNR %.9f dB)\n", what,
              spectralFrames / seconds, kSeconds / seconds, figures.logSpectralDistanceDb, figures.spectralSnrDb);
}

void timeLag() {
  const std::vector<float> stereo = mix(notes(4, 3, 3), false);
  std::vector<float> reference, signal;
  for (std::size_t i = 0; i < stereo.size(); i += kChannels) reference.push_back(stereo[i] + stereo[i + 1]);
  signal.assign(321, 0.0f);
  signal.insert(signal.end(), reference.begin(), reference.end());
  int64_t lag = 0;
  const double seconds = bestSeconds([&] { lag = bestLag(reference, signal, kMaxLag); });
  std::printf("%-28s %10.1f s of sound/s %8.1fx real time  (lag %lld frames)\n", "lag search, 1 s either way",
              kSeconds / seconds, kSeconds / seconds, static_cast<long long>(lag));
}

}  // namespace

int main() {
  timeSpectra("spectra, the whole song", notes(4, 4, 1));
  timeSpectra("spectra, a resting track", notes(4, 1, 2));
  timeLag();
  return 0;
}
