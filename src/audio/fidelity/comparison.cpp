#include "audio/fidelity/comparison.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <map>
#include <mutex>
#include <numbers>
#include <span>

#include "audio/fidelity/fft.h"
#include "audio/fidelity/natural_log.h"

namespace rendlow::audio {

namespace {

// Signal energy over noise energy in dB; infinite without noise.
double ratioDb(double signal, double noise) {
  if (noise == 0) return std::numeric_limits<double>::infinity();
  return 10 * std::log10(signal / noise);
}

// Lining up: the cross-correlation, block by block.

// The first `count` samples of `samples` (fewer where it ends).
std::span<const float> firstSamples(const std::vector<float>& samples, int64_t count) {
  return {samples.data(), static_cast<std::size_t>(std::min<int64_t>(count, std::ssize(samples)))};
}

bool silent(std::span<const float> samples) {
  return std::all_of(samples.begin(), samples.end(), [](float sample) { return sample == 0; });
}

// The cross-spectrum S·conj(R) of two real signals r and s from the transform z of r + i·s (its
// bins in bit-reversed order), in place: with a = z[k] and b = z[N-k], R = (a + conj b)/2 and
// S = (a - conj b)/2i, whose product is (Re a·Im b + Im a·Re b)/2 + i(|b|² - |a|²)/4, and that
// of bin N-k its conjugate.
void crossSpectrum(SplitComplex& z) {
  forEachMirroredBin(z.real.size(), [&z](std::size_t p, std::size_t m) {
    const double ar = z.real[p], ai = z.imag[p], br = z.real[m], bi = z.imag[m];
    const double real = 0.5 * (ar * bi + ai * br), imag = 0.25 * ((br * br + bi * bi) - (ar * ar + ai * ai));
    z.real[p] = real, z.imag[p] = imag;
    z.real[m] = real, z.imag[m] = -imag;
  });
}

// Adds the correlation of a reference block (the first `block` samples of `reference`) with the
// signal around it (`signal` from maxLag before the block on), lags -maxLag..maxLag, into `sums`
// (index lag + maxLag). The signal's segment is the block widened by maxLag on each side, which
// fills the transform exactly, so no lag wraps around. Both are real, so one transform takes the
// reference as its real part and the signal as its imaginary part; the bins are multiplied in
// the order the transform leaves them and transformed back from it. Where either is silent the
// block adds nothing: it is left out, which keeps the sums of a silent playback exactly zero,
// and its lag zero.
void addBlock(const Fft& fft, const std::vector<float>& reference, const std::vector<float>& signal,
              int64_t block, int64_t maxLag, std::vector<double>& sums) {
  const std::span<const float> ref = firstSamples(reference, block);
  const std::span<const float> sig = firstSamples(signal, block + 2 * maxLag);
  if (silent(ref) || silent(sig)) return;
  SplitComplex pair(fft.size());
  std::copy(ref.begin(), ref.end(), pair.real.begin());
  std::copy(sig.begin(), sig.end(), pair.imag.begin());
  fft.forwardToReversed(pair);
  crossSpectrum(pair);
  fft.inverseFromReversed(pair);
  for (std::size_t s = 0; s < sums.size(); ++s) sums[s] += pair.real[s];
}

// One transform of each size for all the searches under way, whichever threads they run on, let
// go with the last of them: the transform of a second's lag range holds megabytes of tables,
// too many to make for each block or to hold for each search.
std::shared_ptr<const Fft> sharedFft(std::size_t size) {
  static std::mutex guard;
  static std::map<std::size_t, std::weak_ptr<const Fft>> made;
  const std::lock_guard lock(guard);
  std::shared_ptr<const Fft> fft = made[size].lock();
  if (!fft) made[size] = fft = std::make_shared<const Fft>(size);
  return fft;
}

int64_t peakLag(const std::vector<double>& sums, int64_t maxLag) {
  int64_t best = 0;
  for (int64_t lag = -maxLag; lag <= maxLag; ++lag) {
    const double value = sums[static_cast<std::size_t>(lag + maxLag)];
    const double bestValue = sums[static_cast<std::size_t>(best + maxLag)];
    if (value > bestValue || (value == bestValue && std::llabs(lag) < std::llabs(best))) best = lag;
  }
  return best;
}

// The short-time spectra.

constexpr std::size_t kFrameSize = 2048;
constexpr int64_t kHop = 512;
constexpr double kBinRange = 1e-6;  // 60 dB in power
// The playback's power is floored 120 dB below the loudest bin: a bin it lacks counts as a
// large difference, not an infinite one, and a level difference within the 60 dB range of
// compared bins is measured exactly.
constexpr double kPlaybackFloor = 1e-12;
// A full-scale sine through the Hann window peaks at a bin magnitude of frame size / 4; a
// frame whose loudest bin is 90 dB below that is silence.
constexpr double kSilentBinPower = (kFrameSize / 4.0) * (kFrameSize / 4.0) * 1e-9;

std::vector<float> hannWindow() {
  std::vector<float> window(kFrameSize);
  for (std::size_t i = 0; i < kFrameSize; ++i)
    window[i] = static_cast<float>(0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / kFrameSize));
  return window;
}

// Whether a channel of `buffer` is exactly zero over `count` frames from `start`: where both the
// reference and the playback are, the frame adds nothing to any total (no energy, and silent),
// so it is not transformed at all.
bool silentFrame(const AudioBuffer& buffer, int64_t start, int64_t count, int32_t channel) {
  for (int64_t i = 0; i < count; ++i) {
    if (buffer.at(start + i, channel) != 0) return false;
  }
  return true;
}

// Whether a channel of two buffers holds the same samples over `count` frames from `start`.
bool sameFrame(const AudioBuffer& one, const AudioBuffer& other, int64_t start, int64_t count,
               int32_t channel) {
  for (int64_t i = 0; i < count; ++i) {
    if (one.at(start + i, channel) != other.at(start + i, channel)) return false;
  }
  return true;
}

// Fills `frame` with both signals' frame for one complex transform, reference as the real part
// and playback as the imaginary; the two spectra separate again by symmetry. Past `count` frames
// the frame is zero.
void fillFramePair(const AudioBuffer& reference, const AudioBuffer& playback, int64_t start, int64_t count,
                   int32_t channel, const std::vector<float>& window, BasicSplitComplex<float>& frame) {
  for (int64_t i = 0; i < count; ++i) {
    frame.real[i] = window[i] * reference.at(start + i, channel);
    frame.imag[i] = window[i] * playback.at(start + i, channel);
  }
  std::fill(frame.real.begin() + count, frame.real.end(), 0.0f);
  std::fill(frame.imag.begin() + count, frame.imag.end(), 0.0f);
}

// Powers of bins 0..N/2 of each signal, in the order forEachMirroredBin takes them, from the
// transform of a frame pair (its bins in bit-reversed order): the reference's bin is
// (z[k] + conj z[N-k]) / 2 and the playback's (z[k] - conj z[N-k]) / 2i.
void separate(const BasicSplitComplex<float>& z, std::vector<float>& referencePower,
              std::vector<float>& playbackPower) {
  std::size_t bin = 0;
  forEachMirroredBin(kFrameSize, [&](std::size_t p, std::size_t m) {
    const float sumReal = z.real[p] + z.real[m], differenceImag = z.imag[p] - z.imag[m];
    const float differenceReal = z.real[p] - z.real[m], sumImag = z.imag[p] + z.imag[m];
    referencePower[bin] = 0.25f * (sumReal * sumReal + differenceImag * differenceImag);
    playbackPower[bin] = 0.25f * (differenceReal * differenceReal + sumImag * sumImag);
    ++bin;
  });
}

// Level differences in dB are taken as natural logs, one a bin, and scaled once a frame.
constexpr double kDbPerNeper = 10 / std::numbers::ln10;

// The loops over a frame's bins are written for the compiler to take several bins at a time
// (OpenMP's simd, which needs no runtime): in floats, each choice a select, the count included
// (in a double, exact far beyond a frame's bins), and the sums in doubles, kept in a few partial
// sums added at the end. A level ratio is at most 1e12 (the playback's floor) and at least 1e-6
// of the loudest reference bin over the loudest playback bin: a normal float for any sound of
// bounded samples (sounds read are clamped to full scale), as the fast log needs.
template <typename Totals>
void addPowers(const std::vector<float>& referencePower, const std::vector<float>& playbackPower,
               Totals& totals) {
  const float* reference = referencePower.data();
  const float* playback = playbackPower.data();
  const std::size_t bins = referencePower.size();
  double referenceEnergy = 0, differenceEnergy = 0;
  float loudest = 0;
#pragma omp simd reduction(+ : referenceEnergy, differenceEnergy) reduction(max : loudest)
  for (std::size_t k = 0; k < bins; ++k) {
    const double difference = std::sqrt(reference[k]) - std::sqrt(playback[k]);
    referenceEnergy += reference[k];
    differenceEnergy += difference * difference;
    loudest = reference[k] > loudest ? reference[k] : loudest;
  }
  totals.referenceEnergy += referenceEnergy;
  totals.differenceEnergy += differenceEnergy;
  if (loudest < kSilentBinPower) return;
  const auto quietest = static_cast<float>(loudest * kBinRange);
  const auto floor = static_cast<float>(loudest * kPlaybackFloor);
  double squares = 0, counted = 0;
#pragma omp simd reduction(+ : squares, counted)
  for (std::size_t k = 0; k < bins; ++k) {
    const float ratio = reference[k] / (playback[k] > floor ? playback[k] : floor);
    const double nepers = naturalLogOfNormal(ratio);
    const bool inRange = reference[k] >= quietest;
    squares += inRange ? nepers * nepers : 0.0;
    counted += inRange ? 1.0 : 0.0;
  }
  totals.distanceSum += kDbPerNeper * std::sqrt(squares / counted);
  ++totals.soundingFrames;
}

// The samples.

constexpr double kAudibleMeanSquare = 1e-6;  // -60 dBFS RMS
constexpr double kClearlyHeardMeanSquare = 1e-4;  // -40 dBFS RMS
constexpr float kAudibleSample = 0.001f;  // -60 dBFS

}  // namespace

int64_t bestLag(const std::vector<float>& reference, const std::vector<float>& signal, int64_t maxLag) {
  LagCorrelation correlation(maxLag);
  for (const float sample : reference) correlation.addReference(sample);
  for (const float sample : signal) correlation.addSignal(sample);
  return correlation.lag();
}

// The signal before index 0 is silence. The transform is the smallest that leaves a block
// besides the lags on either side: several searches hold theirs at once, and twice the size
// would halve the transforms but double what each search holds. The block and the signal
// around it are reserved once: grown sample by sample they would take twice that.
LagCorrelation::LagCorrelation(int64_t maxLag)
    : maxLag_(maxLag),
      fft_(sharedFft(powerOfTwoAtLeast(static_cast<std::size_t>(2 * maxLag + 1)))),
      block_(static_cast<int64_t>(fft_->size()) - 2 * maxLag),
      signal_(static_cast<std::size_t>(maxLag), 0.0f),
      sums_(static_cast<std::size_t>(2 * maxLag + 1), 0.0) {
  // Fed as a search feeds them, side by side, the reference runs maxLag ahead of the signal, and
  // a block is correlated once the signal reaches maxLag past it.
  reference_.reserve(static_cast<std::size_t>(block_ + maxLag_));
  signal_.reserve(fft_->size());
}

void LagCorrelation::addSignal(float sample) {
  signal_.push_back(sample);
  if (std::ssize(reference_) >= block_ && std::ssize(signal_) >= block_ + 2 * maxLag_) correlateBlock();
}

void LagCorrelation::correlateBlock() {
  addBlock(*fft_, reference_, signal_, block_, maxLag_, sums_);
  const auto done = static_cast<std::ptrdiff_t>(std::min<int64_t>(block_, std::ssize(reference_)));
  reference_.erase(reference_.begin(), reference_.begin() + done);
  signal_.erase(signal_.begin(), signal_.begin() + std::min<std::ptrdiff_t>(done, std::ssize(signal_)));
}

int64_t LagCorrelation::lag() {
  while (!reference_.empty()) correlateBlock();
  return peakLag(sums_, maxLag_);
}

SpectraComparison::SpectraComparison(int32_t channels)
    : reference_{0, channels, {}},
      playback_{0, channels, {}},
      totals_(static_cast<std::size_t>(channels)),
      pair_(kFrameSize),
      referencePower_(kFrameSize / 2 + 1),
      playbackPower_(kFrameSize / 2 + 1) {}

void SpectraComparison::add(const AudioBuffer& reference, const AudioBuffer& playback) {
  reference_.samples.insert(reference_.samples.end(), reference.samples.begin(), reference.samples.end());
  playback_.samples.insert(playback_.samples.end(), playback.samples.begin(), playback.samples.end());
  while (reference_.frames() - held_ >= static_cast<int64_t>(kFrameSize)) {
    addFrame(kFrameSize);
    dropFrames(kHop);
  }
}

// A frame of each channel, each channel's totals kept apart so that they add up as they would
// channel after channel. The transform is in floats, nearly twice as fast as in doubles and as
// exact as the figures need, but the two signals sharing it leak a rounding of each into the
// other's bins: where a side is silent, or the playback is the reference itself, its powers are
// set to what they exactly are, so that a lost or an added sound, or a perfect copy, measures
// as such.
void SpectraComparison::addFrame(int64_t count) {
  static const BasicFft<float> fft(kFrameSize);
  static const std::vector<float> window = hannWindow();
  for (int32_t channel = 0; channel < reference_.channels; ++channel) {
    const bool referenceSilent = silentFrame(reference_, held_, count, channel);
    const bool playbackSilent = silentFrame(playback_, held_, count, channel);
    if (referenceSilent && playbackSilent) continue;
    fillFramePair(reference_, playback_, held_, count, channel, window, pair_);
    fft.forwardToReversed(pair_);
    separate(pair_, referencePower_, playbackPower_);
    if (referenceSilent) std::fill(referencePower_.begin(), referencePower_.end(), 0.0f);
    if (playbackSilent) {
      std::fill(playbackPower_.begin(), playbackPower_.end(), 0.0f);
    } else if (sameFrame(reference_, playback_, held_, count, channel)) {
      playbackPower_ = referencePower_;
    }
    addPowers(referencePower_, playbackPower_, totals_[static_cast<std::size_t>(channel)]);
  }
}

// The frames before the next spectral frame are let go now and then, not at every hop, so the
// buffer is seldom moved.
void SpectraComparison::dropFrames(int64_t count) {
  held_ += count;
  if (held_ < static_cast<int64_t>(8 * kFrameSize)) return;
  const auto drop = static_cast<std::ptrdiff_t>(held_ * reference_.channels);
  reference_.samples.erase(reference_.samples.begin(), reference_.samples.begin() + drop);
  playback_.samples.erase(playback_.samples.begin(), playback_.samples.begin() + drop);
  held_ = 0;
}

SpectralFigures SpectraComparison::finish() {
  for (; held_ < reference_.frames(); held_ += kHop) addFrame(reference_.frames() - held_);
  Totals all;
  for (const Totals& channel : totals_) {
    all.referenceEnergy += channel.referenceEnergy;
    all.differenceEnergy += channel.differenceEnergy;
    all.distanceSum += channel.distanceSum;
    all.soundingFrames += channel.soundingFrames;
  }
  const double distance = all.soundingFrames ? all.distanceSum / static_cast<double>(all.soundingFrames) : 0;
  return {distance, ratioDb(all.referenceEnergy, all.differenceEnergy)};
}

int64_t stretchFrames(int32_t sampleRate) {
  return std::max<int64_t>(1, std::llround(kStretchSeconds * sampleRate));
}

WaveformComparison::WaveformComparison(int32_t sampleRate, int32_t channels)
    : sampleRate_(sampleRate), channels_(channels), stretch_(stretchFrames(sampleRate)) {
  figures_.worstStretchSnrDb = std::numeric_limits<double>::infinity();
}

// Each stretch is summed in one go, from the block where it lies whole, else once its samples
// have gathered, so that the sums do not depend on how the sound came in blocks.
void WaveformComparison::add(const AudioBuffer& reference, const AudioBuffer& playback) {
  const auto stretchSamples = static_cast<std::size_t>(stretch_ * channels_);
  const std::size_t samples = reference.samples.size();
  std::size_t at = 0;
  if (!pendingReference_.empty()) {
    at = std::min(samples, stretchSamples - pendingReference_.size());
    pendingReference_.insert(pendingReference_.end(), reference.samples.begin(), reference.samples.begin() + at);
    pendingPlayback_.insert(pendingPlayback_.end(), playback.samples.begin(), playback.samples.begin() + at);
    if (pendingReference_.size() < stretchSamples) return;
    addStretch(pendingReference_.data(), pendingPlayback_.data(), stretchSamples);
    pendingReference_.clear();
    pendingPlayback_.clear();
  }
  for (; samples - at >= stretchSamples; at += stretchSamples)
    addStretch(reference.samples.data() + at, playback.samples.data() + at, stretchSamples);
  pendingReference_.assign(reference.samples.begin() + at, reference.samples.end());
  pendingPlayback_.assign(playback.samples.begin() + at, playback.samples.end());
}

// A stretch's energies, all channels alike, summed in a few partial sums at a time (see
// addPowers); the whole song's are the stretches' summed.
void WaveformComparison::addStretch(const float* wanted, const float* played, std::size_t samples) {
  double reference = 0, error = 0, playback = 0;
#pragma omp simd reduction(+ : reference, error, playback)
  for (std::size_t i = 0; i < samples; ++i) {
    const double difference = static_cast<double>(played[i]) - wanted[i];
    reference += static_cast<double>(wanted[i]) * wanted[i];
    error += difference * difference;
    playback += static_cast<double>(played[i]) * played[i];
  }
  const double audible = kAudibleMeanSquare * static_cast<double>(samples);
  if (reference >= kClearlyHeardMeanSquare * static_cast<double>(samples) && playback < audible &&
      figures_.silentStretches++ == 0) {
    figures_.firstSilentStretchSeconds = static_cast<double>(stretchStart_) / sampleRate_;
  }
  if (std::max(reference, error) >= audible) {
    if (const double snr = ratioDb(reference, error); snr < figures_.worstStretchSnrDb) {
      figures_.worstStretchSnrDb = snr;
      figures_.worstStretchSeconds = static_cast<double>(stretchStart_) / sampleRate_;
    }
  }
  wholeReference_ += reference;
  wholeError_ += error;
  stretchStart_ += static_cast<int64_t>(samples) / channels_;
}

WaveformFigures WaveformComparison::finish() {
  if (!pendingReference_.empty())
    addStretch(pendingReference_.data(), pendingPlayback_.data(), pendingReference_.size());
  figures_.snrDb = ratioDb(wholeReference_, wholeError_);
  return figures_;
}

double peakDbfs(const AudioBuffer& buffer) {
  float peak = 0;
  for (float sample : buffer.samples) peak = std::max(peak, std::fabs(sample));
  return peak == 0 ? -std::numeric_limits<double>::infinity() : 20 * std::log10(static_cast<double>(peak));
}

void LevelWatch::add(const AudioBuffer& block) {
  const float* samples = block.samples.data();
  float peak = peak_;
#pragma omp simd reduction(max : peak)
  for (std::size_t i = 0; i < block.samples.size(); ++i)
    peak = std::fabs(samples[i]) > peak ? std::fabs(samples[i]) : peak;
  peak_ = peak;
  if (const int64_t end = audio::audibleEnd(block); end > 0) audibleEnd_ = frames_ + end;
  frames_ += block.frames();
}

double LevelWatch::peakDbfs() const {
  return peak_ == 0 ? -std::numeric_limits<double>::infinity() : 20 * std::log10(static_cast<double>(peak_));
}

int64_t audibleEnd(const AudioBuffer& buffer) {
  const auto last = std::find_if(buffer.samples.rbegin(), buffer.samples.rend(),
                                 [](float sample) { return std::fabs(sample) >= kAudibleSample; });
  const auto sampleEnd = static_cast<int64_t>(buffer.samples.rend() - last);
  return buffer.channels > 0 ? (sampleEnd + buffer.channels - 1) / buffer.channels : 0;
}

}  // namespace rendlow::audio
