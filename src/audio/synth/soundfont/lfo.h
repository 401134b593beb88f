#pragma once

#include <cstdint>

namespace rendlow::audio::soundfont {

// A low-frequency triangle: 0 through the delay, then from 0 up to 1, down to -1 and back, once
// a period.
class Lfo {
public:
  Lfo(int64_t delayFrames, double periodFrames) : delay_(delayFrames), step_(4.0 / periodFrames) {}

  double value() const;
  void advance(int64_t frames);

private:
  int64_t delay_;
  double step_;       // of the phase per frame, four a period
  double phase_ = 0;  // in [0, 4): quarter periods since the delay ended
};

}  // namespace rendlow::audio::soundfont
