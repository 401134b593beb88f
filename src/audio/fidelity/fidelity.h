#pragma once

// How faithfully a chart plays its song back: the chart's background mixed from its sound
// files, lined up with a recording of the song, and compared.

#include <cstdint>
#include <string>
#include <vector>

#include "audio/fidelity/chart_mix.h"
#include "audio/io/audio_backend.h"
#include "audio/io/audio_buffer.h"
#include "audio/io/wav_stream.h"
#include "base/messages_audio.h"
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
  // How long the playback is silent where the reference is clearly heard, and from when first.
  double silentSeconds = 0;
  double firstSilentSeconds = 0;
  // How long the playback, lined up, sounds on past the reference's end: what no figure covers,
  // as when the reference is shorter than the song.
  double unmeasuredSeconds = 0;
  double referenceSeconds = 0;
};

// Lines `playback` up with `reference` (both of one rate and channel count) by
// cross-correlation within ±kLagSearchSeconds over the reference's first kLagWindowSeconds with
// sound, then compares them over the reference's length, a block at a time (see compareStreams).
FidelityFigures comparePlayback(AudioBuffer playback, const AudioBuffer& reference);

// The background of the chart (.bme) at `chartPath` played from the sound files in `soundFolder`,
// compared with
// `reference`: the song rendered directly, or the author's own render of it from its start.
// `blockFrames`: the synthesizer's block when the reference is its render (see ChartMix), 0 for
// a recording.
Result<FidelityFigures> measureChartFidelity(const ChartBackground& background, const std::string& chartPath,
                                             const std::string& soundFolder, const AudioBuffer& reference,
                                             const AudioBackend& backend, int32_t blockFrames);
// The same against a reference read a block at a time, never held whole.
Result<FidelityFigures> measureChartFidelity(const ChartBackground& background, const std::string& chartPath,
                                             const std::string& soundFolder, const SoundFile& reference,
                                             const AudioBackend& backend, int32_t blockFrames);

// The figures as the fidelity line shows them: "inf" for the infinite ones.
FidelityFigureTexts figureTexts(const FidelityFigures& figures);

// The figures on one line, in Japanese and English.
Message fidelityLine(const FidelityFigures& figures);

// One converted track's sounds measured alone, against that track of the song.
struct TrackFidelity {
  std::string trackName;
  std::string definitionName;
  FidelityFigures figures;
};

// The track whose playback strays most from its reference first, where the author should listen
// first: the lowest spectral SNR, which weighs what is loud as a listener does (a track's
// log-spectral distance weighs the faint release a cut dropped as much as the note itself);
// of equal ones, the earlier track.
std::vector<TrackFidelity> worstFirst(std::vector<TrackFidelity> tracks);

// A track's name and its figures on one line: the distance, the spectral SNR and the worst 50 ms.
Message trackFidelityLine(const TrackFidelity& track);

}  // namespace rendlow::audio
