#include "audio/synth/soundfont/low_pass.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace rendlow::audio::soundfont {

namespace {

// The cutoff at which the filter stands aside: near 20 kHz, the highest the format's default
// (13500 cents) means.
constexpr double kOpenCutoff = 19900;

}  // namespace

// The coefficients of the usual bilinear-transform low-pass with a quality factor; a resonance
// of 0 dB leaves a quality of 1/sqrt(2), no peak at all.
void LowPass::set(double cutoff, double resonanceDb, double rate) {
  const double resonance = std::max(0.0, resonanceDb);
  active_ = cutoff < std::min(kOpenCutoff, rate * 0.45) || resonance > 0;
  if (!active_) return;
  const double frequency = std::clamp(cutoff, 5.0, rate * 0.45);
  const double quality = std::pow(10.0, (resonance - 3.01) / 20.0);
  const double gain = 1.0 / std::sqrt(quality);
  const double omega = 2 * std::numbers::pi * frequency / rate;
  const double alpha = std::sin(omega) / (2 * quality);
  const double cosine = std::cos(omega);
  const double a0 = 1 + alpha;
  b1_ = (1 - cosine) / a0 * gain;
  b0_ = b1_ / 2;
  b2_ = b0_;
  a1_ = -2 * cosine / a0;
  a2_ = (1 - alpha) / a0;
}

}  // namespace rendlow::audio::soundfont
