#pragma once

namespace rendlow::audio::soundfont {

// A resonant two-pole low-pass: flat below the cutoff, with a peak of the resonance's decibels at
// it, and the whole scaled by one over the square root of its quality factor, as FluidSynth has
// it: 1.5 dB up without resonance, less as the peak rises, so a resonant sound keeps its loudness.
class LowPass {
public:
  // Cutoff in hertz at `rate`, resonance in decibels above the flat response. A cutoff at or
  // above the highest frequencies a sample carries leaves the sound as it is.
  void set(double cutoff, double resonanceDb, double rate);
  bool active() const { return active_; }
  float process(float in) {
    const double out = b0_ * in + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
    x2_ = x1_;
    x1_ = in;
    y2_ = y1_;
    y1_ = out;
    return static_cast<float>(out);
  }

private:
  bool active_ = false;
  double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
  double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

}  // namespace rendlow::audio::soundfont
