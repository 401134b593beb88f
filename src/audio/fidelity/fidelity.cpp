#include "audio/fidelity/fidelity.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "audio/fidelity/chart_mix.h"
#include "audio/fidelity/stream_comparison.h"
#include "base/format.h"
#include "base/messages_audio.h"

namespace rendlow::audio {

namespace {

// A figure as the line shows it: "inf" and "-inf" for the infinite ones.
std::string decibels(double value, int decimals) {
  if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
  std::string text;
  appendFormatted(text, "%.*f", decimals, value);
  return text;
}

}  // namespace

// A sound in memory is read without fail.
FidelityFigures comparePlayback(AudioBuffer playback, const AudioBuffer& reference) {
  assert(playback.sampleRate == reference.sampleRate && playback.channels == reference.channels);
  return compareStreams([&] { return std::make_unique<BufferStream>(reference); },
                        [&] { return std::make_unique<BufferStream>(playback); }, reference.sampleRate,
                        reference.channels)
      .value();
}

Result<FidelityFigures> measureChartFidelity(const ChartBackground& background, const std::string& chartPath,
                                             const std::string& soundFolder, const AudioBuffer& reference,
                                             const AudioBackend& backend, int32_t blockFrames) {
  return measureChartFidelity(background, chartPath, soundFolder,
                              SoundFile{reference.sampleRate, reference.channels,
                                        [&] { return std::make_unique<BufferStream>(reference); }},
                              backend, blockFrames);
}

Result<FidelityFigures> measureChartFidelity(const ChartBackground& background, const std::string& chartPath,
                                             const std::string& soundFolder, const SoundFile& reference,
                                             const AudioBackend& backend, int32_t blockFrames) {
  Result<std::unique_ptr<ChartMix>> mix = ChartMix::open(background, chartPath, soundFolder, reference.sampleRate,
                                                         reference.channels, backend, blockFrames);
  if (!mix) return mix.problem();
  return compareStreams(
      reference.open, [&] { return (*mix)->stream(); }, reference.sampleRate, reference.channels);
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
