#include "audio/fidelity/waveform_comparison.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace rendlow::audio {

namespace {

constexpr double kAudibleMeanSquare = 1e-6;  // -60 dBFS RMS

struct Energies {
  double reference = 0;
  double error = 0;
};

Energies energiesOf(const AudioBuffer& reference, const AudioBuffer& playback, std::size_t first,
                    std::size_t last) {
  Energies energies;
  for (std::size_t i = first; i < last; ++i) {
    const double error = static_cast<double>(playback.samples[i]) - reference.samples[i];
    energies.reference += static_cast<double>(reference.samples[i]) * reference.samples[i];
    energies.error += error * error;
  }
  return energies;
}

double ratioDb(const Energies& energies) {
  if (energies.error == 0) return std::numeric_limits<double>::infinity();
  return 10 * std::log10(energies.reference / energies.error);
}

}  // namespace

WaveformFigures compareWaveforms(const AudioBuffer& reference, const AudioBuffer& playback) {
  const double infinity = std::numeric_limits<double>::infinity();
  WaveformFigures figures{ratioDb(energiesOf(reference, playback, 0, reference.samples.size())), 0, infinity};
  const int64_t stretch = std::max<int64_t>(1, std::llround(kStretchSeconds * reference.sampleRate));
  for (int64_t start = 0; start < reference.frames(); start += stretch) {
    const int64_t end = std::min(start + stretch, reference.frames());
    const auto first = static_cast<std::size_t>(start * reference.channels);
    const auto last = static_cast<std::size_t>(end * reference.channels);
    const Energies energies = energiesOf(reference, playback, first, last);
    const double audible = kAudibleMeanSquare * static_cast<double>(last - first);
    if (std::max(energies.reference, energies.error) < audible) continue;
    if (const double snr = ratioDb(energies); snr < figures.worstStretchSnrDb) {
      figures.worstStretchSnrDb = snr;
      figures.worstStretchSeconds = static_cast<double>(start) / reference.sampleRate;
    }
  }
  return figures;
}

double peakDbfs(const AudioBuffer& buffer) {
  float peak = 0;
  for (float sample : buffer.samples) peak = std::max(peak, std::fabs(sample));
  return peak == 0 ? -std::numeric_limits<double>::infinity() : 20 * std::log10(static_cast<double>(peak));
}

}  // namespace rendlow::audio
