#include "audio/cut/stem_check.h"

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>

#include "audio/cut/sound_cut.h"
#include "base/messages_audio.h"

namespace rendlow::audio {

namespace {

// A stem whose peak stays below -80 dBFS holds no more than dither: nothing was rendered.
constexpr float kSilentStemPeak = 0.0001f;
// Louder means by this factor at least (1 dB): a steady tone is no louder at a start than before it.
constexpr double kLouder = 1.122;

float peakOf(const AudioBuffer& buffer) {
  float peak = 0;
  for (float sample : buffer.samples) peak = std::max(peak, std::fabs(sample));
  return peak;
}

// The root mean square of frames [start, end), clamped to the buffer; 0 for none.
double rmsOf(const AudioBuffer& buffer, int64_t start, int64_t end) {
  start = std::clamp<int64_t>(start, 0, buffer.frames());
  end = std::clamp<int64_t>(end, start, buffer.frames());
  double sum = 0;
  for (std::size_t i = static_cast<std::size_t>(start * buffer.channels);
       i < static_cast<std::size_t>(end * buffer.channels); ++i)
    sum += static_cast<double>(buffer.samples[i]) * buffer.samples[i];
  const int64_t count = (end - start) * buffer.channels;
  return count > 0 ? std::sqrt(sum / static_cast<double>(count)) : 0.0;
}

bool songSoundsOn(const StemTrack& track) {
  return std::any_of(track.sounds.begin(), track.sounds.end(), [](const StemSound& s) { return !s.silentInSong; });
}

// Where the stem is first heard, against where the rendering file is first heard. A quiet first
// note is still heard: the onset is the first sample within 60 dB of the stem's peak.
int64_t startLagMs(const StemTrack& track, const AudioBuffer& stem, float peak) {
  const auto firstHeard = std::find_if(track.sounds.begin(), track.sounds.end(),
                                       [](const StemSound& s) { return !s.silentInSong; });
  const float onsetLevel = std::max(kAudibleFloor, peak * 0.001f);
  const auto onset = std::find_if(stem.samples.begin(), stem.samples.end(),
                                  [&](float sample) { return std::fabs(sample) >= onsetLevel; });
  const double heardAt = static_cast<double>((onset - stem.samples.begin()) / stem.channels) / stem.sampleRate;
  const double lag = heardAt - firstHeard->startSeconds;
  return std::fabs(lag) > kStemWindowSeconds ? std::llround(lag * 1000) : 0;
}

// Where the rendering file leaves the track silent before a sound, the stem must grow louder
// at its start; a stem of another rendering file has its sounds elsewhere. Sounds past the stem's
// end are told by its length. Counts the sounds checked and those no louder, `shift` frames on.
std::pair<int32_t, int32_t> compareStarts(const StemTrack& track, const AudioBuffer& stem, int64_t shift) {
  const int64_t window = frameAt(kStemWindowSeconds, stem.sampleRate);
  int32_t checked = 0;
  int32_t notLouder = 0;
  for (const StemSound& sound : track.sounds) {
    const int64_t before = std::min(window, frameAt(sound.silenceBeforeSeconds, stem.sampleRate));
    const int64_t start = frameAt(sound.startSeconds, stem.sampleRate) + shift;
    if (sound.silentInSong || before == 0 || start + window > stem.frames()) continue;
    const int64_t next = frameAt(sound.endSeconds, stem.sampleRate) + shift;
    ++checked;
    notLouder += !(rmsOf(stem, start, std::clamp(next, start + 1, start + window)) >
                   kLouder * rmsOf(stem, start - before, start));
  }
  return {checked, notLouder};
}

// A stem shifted in time is also compared where its sounds are, so that a shift alone is told
// as one; a stray sound before the first is not taken for one.
void compareStarts(const StemTrack& track, const AudioBuffer& stem, StemFit& fit) {
  std::tie(fit.soundsChecked, fit.soundsNotLouder) = compareStarts(track, stem, 0);
  if (fit.startLagMs == 0 || fit.soundsNotLouder == 0) return;
  const auto shifted =
      compareStarts(track, stem, frameAt(static_cast<double>(fit.startLagMs) / 1000, stem.sampleRate));
  if (shifted.second < fit.soundsNotLouder) std::tie(fit.soundsChecked, fit.soundsNotLouder) = shifted;
}

}  // namespace

StemFit checkStem(const StemTrack& track, const AudioBuffer& stem) {
  StemFit fit;
  const double stemSeconds = static_cast<double>(stem.frames()) / stem.sampleRate;
  if (track.endSeconds - stemSeconds > kStemShortfallSeconds) fit.shortBySeconds = track.endSeconds - stemSeconds;
  if (!songSoundsOn(track)) return fit;
  const float peak = peakOf(stem);
  fit.silent = peak < kSilentStemPeak;
  if (fit.silent) return fit;
  fit.startLagMs = startLagMs(track, stem, peak);
  compareStarts(track, stem, fit);
  return fit;
}

Message stemMisfitMessage(const std::string& path, const StemFit& fit) {
  std::vector<Message> findings;
  if (fit.silent) findings.push_back(stemSilentReason());
  if (fit.startLagMs != 0) findings.push_back(stemStartsOffReason(fit.startLagMs));
  if (fit.shortBySeconds > 0) findings.push_back(stemEndsEarlyReason(fit.shortBySeconds));
  if (fit.soundsNotLouder > 0) findings.push_back(stemNotOfThisRenderingReason(fit.soundsNotLouder, fit.soundsChecked));
  return stemDoesNotFitMessage(path, findings);
}

}  // namespace rendlow::audio
