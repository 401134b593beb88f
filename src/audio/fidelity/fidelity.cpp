#include "audio/fidelity/fidelity.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "audio/fidelity/chart_mix.h"
#include "audio/fidelity/comparison.h"
#include "base/format.h"
#include "base/messages_audio.h"

namespace rendlow::audio {

namespace {

std::vector<float> monoOf(const AudioBuffer& buffer) {
  std::vector<float> mono(static_cast<std::size_t>(buffer.frames()), 0.0f);
  for (int64_t frame = 0; frame < buffer.frames(); ++frame) {
    for (int32_t channel = 0; channel < buffer.channels; ++channel) mono[frame] += buffer.at(frame, channel);
  }
  return mono;
}

// Moves the playback back by `lag` frames (forward when negative), then cuts or pads it with
// silence to `frames`.
void shift(AudioBuffer& playback, int64_t lag, int64_t frames) {
  std::vector<float>& samples = playback.samples;
  const auto size = static_cast<std::size_t>(frames * playback.channels);
  const auto moved = static_cast<std::size_t>(std::abs(lag) * playback.channels);
  if (lag >= 0) {
    samples.erase(samples.begin(),
                  samples.begin() + static_cast<std::ptrdiff_t>(std::min(moved, samples.size())));
  } else {
    samples.insert(samples.begin(), std::min(moved, size), 0.0f);
  }
  samples.resize(size, 0.0f);
}

// A figure as the line shows it: "inf" and "-inf" for the infinite ones.
std::string decibels(double value, int decimals) {
  if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
  std::string text;
  appendFormatted(text, "%.*f", decimals, value);
  return text;
}

}  // namespace

FidelityFigures comparePlayback(AudioBuffer playback, const AudioBuffer& reference) {
  assert(playback.sampleRate == reference.sampleRate && playback.channels == reference.channels);
  const int64_t maxLag = std::llround(kLagSearchSeconds * reference.sampleRate);
  const int64_t lag = bestLag(monoOf(reference), monoOf(playback), maxLag);
  const double peak = peakDbfs(playback);
  const int64_t unmeasured = std::max<int64_t>(0, audibleEnd(playback) - lag - reference.frames());
  shift(playback, lag, reference.frames());
  const SpectralFigures spectra = compareSpectra(reference, playback);
  const WaveformFigures waveforms = compareWaveforms(reference, playback);
  const double rate = reference.sampleRate;
  return {spectra.logSpectralDistanceDb,
          spectra.spectralSnrDb,
          waveforms.snrDb,
          waveforms.worstStretchSeconds,
          waveforms.worstStretchSnrDb,
          peak,
          lag,
          reference.sampleRate,
          static_cast<double>(waveforms.silentStretches) * stretchFrames(reference.sampleRate) / rate,
          waveforms.firstSilentStretchSeconds,
          static_cast<double>(unmeasured) / rate,
          static_cast<double>(reference.frames()) / rate};
}

Result<FidelityFigures> measureChartFidelity(const ChartBackground& background, const std::string& chartPath,
                                             const std::string& soundFolder, const AudioBuffer& reference,
                                             const AudioBackend& backend, int32_t blockFrames) {
  Result<AudioBuffer> mix = mixChart(background, chartPath, soundFolder, reference.sampleRate,
                                     reference.channels, backend, blockFrames);
  if (!mix) return mix.problem();
  return comparePlayback(std::move(*mix), reference);
}

FidelityFigureTexts figureTexts(const FidelityFigures& figures) {
  std::string lag;
  appendFormatted(lag, "%+.2f", 1000.0 * figures.lagFrames / figures.sampleRate);
  return {
      .logSpectralDistanceDb = decibels(figures.logSpectralDistanceDb, 2),
      .spectralSnrDb = decibels(figures.spectralSnrDb, 1),
      .waveformSnrDb = decibels(figures.waveformSnrDb, 1),
      .worstStretchSeconds = secondsText(figures.worstStretchSeconds),
      .worstStretchSnrDb = decibels(figures.worstStretchSnrDb, 1),
      .mixPeakDbfs = decibels(figures.mixPeakDbfs, 1),
      .lagMilliseconds = lag,
      .lagFrames = (figures.lagFrames >= 0 ? "+" : "") + std::to_string(figures.lagFrames),
  };
}

Message fidelityLine(const FidelityFigures& figures) { return fidelityFiguresMessage(figureTexts(figures)); }

std::vector<TrackFidelity> worstFirst(std::vector<TrackFidelity> tracks) {
  std::stable_sort(tracks.begin(), tracks.end(), [](const TrackFidelity& a, const TrackFidelity& b) {
    return a.figures.spectralSnrDb < b.figures.spectralSnrDb;
  });
  return tracks;
}

Message trackFidelityLine(const TrackFidelity& track) {
  return trackFidelityMessage(track.trackName, track.definitionName, figureTexts(track.figures));
}

}  // namespace rendlow::audio
