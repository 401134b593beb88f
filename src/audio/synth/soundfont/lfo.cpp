#include "audio/synth/soundfont/lfo.h"

#include <algorithm>
#include <cmath>

namespace rendlow::audio::soundfont {

double Lfo::value() const {
  if (phase_ < 1) return phase_;
  if (phase_ < 3) return 2 - phase_;
  return phase_ - 4;
}

void Lfo::advance(int64_t frames) {
  const int64_t waiting = std::min(frames, delay_);
  delay_ -= waiting;
  phase_ = std::fmod(phase_ + step_ * static_cast<double>(frames - waiting), 4.0);
}

}  // namespace rendlow::audio::soundfont
