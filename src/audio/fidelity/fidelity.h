#pragma once

// How faithfully a chart plays its song back: the chart's background mixed from its sound
// files, lined up with a recording of the song, and compared.

#include <cstdint>
#include <string>

#include "audio/fidelity/chart_mix.h"
#include "audio/io/audio_backend.h"
#include "audio/io/audio_buffer.h"
#include "base/result.h"

namespace rendlow::audio {

// The search range of the alignment: the playback may run up to a second early or late.
constexpr double kLagSearchSeconds = 1.0;

struct FidelityFigures {
  double logSpectralDistanceDb = 0;  // see SpectralFigures
  double spectralSnrDb = 0;
  double waveformSnrDb = 0;  // after alignment; see WaveformFigures
  double worstStretchSeconds = 0;
  double worstStretchSnrDb = 0;
  double mixPeakDbfs = 0;  // above 0 the chart clips when played
  int64_t lagFrames = 0;   // how late the playback runs against the reference
  int32_t sampleRate = 0;
};

// Lines `playback` up with `reference` (both of one rate and channel count) by
// cross-correlation within ±kLagSearchSeconds, then compares them over the reference's length.
// The playback is taken by value and moved into line where it lies: a long song's mix is
// hundreds of megabytes, too much to hold twice.
FidelityFigures comparePlayback(AudioBuffer playback, const AudioBuffer& reference);

// The background of the chart (.bme) at `chartPath` played from the sound files in `soundFolder`,
// compared with
// `reference`: the song rendered directly, or the author's own render of it from its start.
// `blockFrames`: the synthesizer's block when the reference is its render (see mixChart), 0 for
// a recording.
Result<FidelityFigures> measureChartFidelity(const ChartBackground& background, const std::string& chartPath,
                                             const std::string& soundFolder, const AudioBuffer& reference,
                                             const AudioBackend& backend, int32_t blockFrames);

// The figures on one line, in Japanese and English.
Message fidelityLine(const FidelityFigures& figures);

}  // namespace rendlow::audio
