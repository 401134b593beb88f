#include "audio/fidelity/stream_comparison.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace rendlow::audio {

namespace {

float monoAt(const AudioBuffer& buffer, int64_t frame) {
  float sum = 0;
  for (int32_t channel = 0; channel < buffer.channels; ++channel) sum += buffer.at(frame, channel);
  return sum;
}

bool soundsAt(const AudioBuffer& buffer, int64_t frame) {
  for (int32_t channel = 0; channel < buffer.channels; ++channel)
    if (buffer.at(frame, channel) != 0) return true;
  return false;
}

// `block` made `frames` long: silence past the end of the sound it came from.
AudioBuffer padded(AudioBuffer block, int64_t frames) {
  block.samples.resize(static_cast<std::size_t>(frames * block.channels), 0.0f);
  return block;
}

int64_t maxLagAt(int32_t sampleRate) { return std::llround(kLagSearchSeconds * sampleRate); }

}  // namespace

Fft lagSearchTransform(int32_t sampleRate) { return lagTransform(maxLagAt(sampleRate)); }

LagSearch::LagSearch(std::unique_ptr<SoundStream> playback, int32_t sampleRate, const Fft& transform)
    : playback_(std::move(playback)),
      maxLag_(maxLagAt(sampleRate)),
      window_(std::llround(kLagWindowSeconds * sampleRate)),
      correlation_(maxLag_, transform) {}

bool LagSearch::done() const { return heard_ && playedKept_ >= window_ + 2 * maxLag_; }

void LagSearch::addReference(const AudioBuffer& block) {
  if (done()) return;
  AudioBuffer playback = padded(playback_->next(block.frames()), block.frames());
  playback.channels = block.channels;
  keep(block, playback);
}

// Before the reference first sounds, only the playback's last maxLag_ frames are kept: a lag
// reaches back no further.
void LagSearch::keep(const AudioBuffer& reference, const AudioBuffer& playback) {
  for (int64_t frame = 0; frame < reference.frames(); ++frame) {
    if (!heard_ && soundsAt(reference, frame)) hear();
    if (heard_ && referenceKept_ < window_) {
      correlation_.addReference(monoAt(reference, frame));
      ++referenceKept_;
    }
    if (!heard_)
      before_.push_back(monoAt(playback, frame));
    else if (playedKept_ < window_ + 2 * maxLag_)
      addPlayed(monoAt(playback, frame));
  }
  if (!heard_ && std::ssize(before_) > maxLag_) before_.erase(before_.begin(), before_.end() - maxLag_);
}

// The reference is searched with maxLag_ of silence before its first sound, against the
// playback from as far before it, silence where the playback had not begun.
void LagSearch::hear() {
  heard_ = true;
  for (int64_t i = 0; i < maxLag_; ++i) correlation_.addReference(0.0f);
  const int64_t history = std::min<int64_t>(std::ssize(before_), maxLag_);
  for (int64_t i = history; i < maxLag_; ++i) addPlayed(0.0f);
  for (auto sample = before_.end() - history; sample != before_.end(); ++sample) addPlayed(*sample);
  before_ = {};
}

void LagSearch::addPlayed(float sample) {
  correlation_.addSignal(sample);
  ++playedKept_;
}

// A reference that ended inside the window still has its last frames searched as far as a lag
// reaches past them.
Result<int64_t> LagSearch::lag() {
  const int64_t wanted = referenceKept_ + 2 * maxLag_ - playedKept_;
  if (heard_ && wanted > 0) {
    const AudioBuffer rest = playback_->next(wanted);
    for (int64_t frame = 0; frame < rest.frames(); ++frame) addPlayed(monoAt(rest, frame));
  }
  if (Result<void> read = playback_->finish(); !read) return read.problem();
  return heard_ ? correlation_.lag() : 0;
}

PlaybackComparison::PlaybackComparison(int64_t lag, std::unique_ptr<SoundStream> playback, int32_t sampleRate,
                                       int32_t channels)
    : lag_(lag),
      playback_(std::move(playback)),
      sampleRate_(sampleRate),
      channels_(channels),
      leadingSilence_(std::max<int64_t>(0, -lag)),
      spectra_(channels),
      waveforms_(sampleRate, channels) {
  // A late playback starts `lag` frames in; what comes before is heard all the same.
  for (int64_t skipped = 0; skipped < lag;) {
    const AudioBuffer block = playback_->next(std::min(kStreamBlockFrames, lag - skipped));
    if (block.frames() == 0) break;
    level_.add(block);
    skipped += block.frames();
  }
}

AudioBuffer PlaybackComparison::played(int64_t frames) {
  AudioBuffer lined{sampleRate_, channels_, {}};
  const int64_t silence = std::min(leadingSilence_, frames);
  lined.samples.assign(static_cast<std::size_t>(silence * channels_), 0.0f);
  leadingSilence_ -= silence;
  const AudioBuffer block = playback_->next(frames - silence);
  level_.add(block);
  lined.samples.insert(lined.samples.end(), block.samples.begin(), block.samples.end());
  return padded(std::move(lined), frames);
}

void PlaybackComparison::addReference(const AudioBuffer& block) {
  const AudioBuffer playback = played(block.frames());
  spectra_.add(block, playback);
  waveforms_.add(block, playback);
  referenceFrames_ += block.frames();
}

Result<FidelityFigures> PlaybackComparison::finish() {
  for (AudioBuffer rest = playback_->next(kStreamBlockFrames); rest.frames() > 0; rest = playback_->next(kStreamBlockFrames))
    level_.add(rest);
  if (Result<void> read = playback_->finish(); !read) return read.problem();
  const SpectralFigures spectra = spectra_.finish();
  const WaveformFigures waveforms = waveforms_.finish();
  const int64_t unmeasured = std::max<int64_t>(0, level_.audibleEnd() - lag_ - referenceFrames_);
  const double rate = sampleRate_;
  return FidelityFigures{spectra.logSpectralDistanceDb,
                         spectra.spectralSnrDb,
                         waveforms.snrDb,
                         waveforms.worstStretchSeconds,
                         waveforms.worstStretchSnrDb,
                         level_.peakDbfs(),
                         lag_,
                         sampleRate_,
                         static_cast<double>(waveforms.silentStretches) * stretchFrames(sampleRate_) / rate,
                         waveforms.firstSilentStretchSeconds,
                         static_cast<double>(unmeasured) / rate,
                         static_cast<double>(referenceFrames_) / rate};
}

Result<FidelityFigures> compareStreams(const SoundStreamMaker& reference, const SoundStreamMaker& playback,
                                       int32_t sampleRate, int32_t channels) {
  const Fft transform = lagSearchTransform(sampleRate);
  LagSearch search(playback(), sampleRate, transform);
  const std::unique_ptr<SoundStream> lagReference = reference();
  while (!search.done()) {
    const AudioBuffer block = lagReference->next(kStreamBlockFrames);
    if (block.frames() == 0) break;
    search.addReference(block);
  }
  const Result<int64_t> lag = search.lag();
  if (!lag) return lag.problem();
  PlaybackComparison comparison(*lag, playback(), sampleRate, channels);
  const std::unique_ptr<SoundStream> compared = reference();
  for (AudioBuffer block = compared->next(kStreamBlockFrames); block.frames() > 0;
       block = compared->next(kStreamBlockFrames))
    comparison.addReference(block);
  return comparison.finish();
}

}  // namespace rendlow::audio
